# Torvane: Intune Remediations, the remediation script.
#
# Where:   Intune admin center, Devices > Scripts and remediations > Create,
#          "Remediation script file", beside Intune-Remediation-Detect.ps1.
#          Intune runs it only when the detection script exits 1.
# Runs as: System ("Run this script using the logged-on credentials": No).
#          Either PowerShell host: Torvane.exe is found by its literal path.
# Needs:   Torvane.exe in C:\Program Files\Torvane (Install-TorvaneExe.ps1).
# Does:    Torvane.exe /quiet /allusers, logging where Intune's "Collect
#          diagnostics" picks the log up.
# Exit codes:
#   0      done: every copy found is now set aside
#   1      Torvane.exe could not be run (the line says why)
#   any other code is Torvane's own, passed on (README's exit table): 32 a
#   copy in use, 183 both names taken, 5 a file left alone ...
# Output:  one line, the "remediation output" column: "Torvane exit <code>:"
#          and Torvane's summary line, or why Torvane did not run.

$ErrorActionPreference = 'Stop'
$torvane = 'C:\Program Files\Torvane\Torvane.exe'
$log = 'C:\ProgramData\Microsoft\IntuneManagementExtension\Logs\Torvane.log'
try {
    if (-not (Test-Path -LiteralPath $torvane -PathType Leaf)) {
        throw "Torvane.exe not found at $torvane"
    }
    # Torvane writes its lines to standard output when it is redirected, the
    # summary last; reading all of it before waiting cannot deadlock.
    $start = New-Object System.Diagnostics.ProcessStartInfo -ArgumentList $torvane, "/quiet /allusers /log `"$log`""
    $start.UseShellExecute = $false
    $start.RedirectStandardOutput = $true
    $start.StandardOutputEncoding = [System.Text.Encoding]::UTF8
    $run = [System.Diagnostics.Process]::Start($start)
    $lines = @($run.StandardOutput.ReadToEnd() -split "`r?`n" | Where-Object { $_ })
    $run.WaitForExit()
    $summary = if ($lines.Count -gt 0) { $lines[-1] } else { '(no output)' }
    $line = 'Torvane exit {0}: {1}' -f $run.ExitCode, $summary
    Write-Output $line.Substring(0, [Math]::Min($line.Length, 2048))
    exit $run.ExitCode
} catch {
    Write-Output $_.Exception.Message
    exit 1
}
