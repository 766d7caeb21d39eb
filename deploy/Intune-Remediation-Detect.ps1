# Torvane: Intune Remediations, the detection script.
#
# Where:   Intune admin center, Devices > Scripts and remediations > Create,
#          "Detection script file"; Intune-Remediation-Fix.ps1 is its
#          "Remediation script file".
# Runs as: System ("Run this script using the logged-on credentials": No).
#          Either PowerShell host ("Run script in 64-bit PowerShell": Yes or
#          No): Torvane.exe is found by its literal path. "Enforce script
#          signature check": No, unless you sign it.
# Needs:   Torvane.exe in C:\Program Files\Torvane (Install-TorvaneExe.ps1).
# Does:    Torvane.exe /check /allusers: what a run would do, changing nothing.
# Exit codes (Intune runs the remediation on 1 only):
#   0      the desired state: every copy found is set aside, or the machine
#          has no Quorvex database under either name (Torvane's 2)
#   1      anything else: a run would set a copy aside (1), or something
#          needs the remediation or a person (a copy in use, 32; both names
#          taken, 183; a file left alone, 5; the log refused, 110), or
#          Torvane.exe could not be run
# Output:  one line, the "detection output" column: "Torvane exit <code>:"
#          and Torvane's summary line, or why Torvane did not run.

$ErrorActionPreference = 'Stop'
$torvane = 'C:\Program Files\Torvane\Torvane.exe'
try {
    if (-not (Test-Path -LiteralPath $torvane -PathType Leaf)) {
        throw "Torvane.exe not found at $torvane"
    }
    # Torvane writes its lines to standard output when it is redirected, the
    # summary last; reading all of it before waiting cannot deadlock.
    $start = New-Object System.Diagnostics.ProcessStartInfo -ArgumentList $torvane, '/check /allusers'
    $start.UseShellExecute = $false
    $start.RedirectStandardOutput = $true
    $start.StandardOutputEncoding = [System.Text.Encoding]::UTF8
    $run = [System.Diagnostics.Process]::Start($start)
    $lines = @($run.StandardOutput.ReadToEnd() -split "`r?`n" | Where-Object { $_ })
    $run.WaitForExit()
    $summary = if ($lines.Count -gt 0) { $lines[-1] } else { '(no output)' }
    $line = 'Torvane exit {0}: {1}' -f $run.ExitCode, $summary
    Write-Output $line.Substring(0, [Math]::Min($line.Length, 2048))
    if ($run.ExitCode -eq 0 -or $run.ExitCode -eq 2) {
        exit 0
    }
    exit 1
} catch {
    Write-Output $_.Exception.Message
    exit 1
}
