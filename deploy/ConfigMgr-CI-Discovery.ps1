# Torvane: Configuration Manager configuration item, the discovery script.
#
# Where:   a "Windows Desktops and Servers (custom)" configuration item, a
#          setting of type Script, data type String, this file as its
#          discovery script and ConfigMgr-CI-Remediation.ps1 as its
#          remediation script; compliance rule: the value returned equals
#          Compliant, "Run the specified remediation script when this setting
#          is noncompliant" on. Deploy it in a baseline to a device collection.
# Runs as: System (leave "Run scripts by using the logged on user
#          credentials" off), in either PowerShell host.
# Fits the client's defaults so:
#   - The client runs only signed scripts (Client Settings, Computer Agent,
#     "PowerShell execution policy": All Signed). Sign this file with a
#     code-signing certificate your clients trust as a Trusted Publisher
#     (Set-AuthenticodeSignature) and add it with Open, not by pasting; or set
#     that client setting to Bypass for the collection.
#   - A script gets 60 seconds (Client Settings, Compliance Settings, "Script
#     Execution Timeout (seconds)", 60 to 600, from version 2207). A run waits
#     up to 60 s for another Torvane run, then up to 20 s for each user's
#     hive another program holds: set 300 (or 600 on shared machines).
# Needs:   Torvane.exe in C:\Program Files\Torvane (Install-TorvaneExe.ps1).
# Does:    Torvane.exe /check /allusers: what a run would do, changing nothing.
# Output:  one line, the discovered value: Compliant when the machine is in
#          the desired state or has no Quorvex database under either name
#          (Torvane's 0 or 2); else "Torvane exit <code>:" and Torvane's summary
#          line, or why Torvane did not run. Always exits 0: the value is the
#          answer.

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
    if ($run.ExitCode -eq 0 -or $run.ExitCode -eq 2) {
        Write-Output 'Compliant'
    } else {
        $summary = if ($lines.Count -gt 0) { $lines[-1] } else { '(no output)' }
        Write-Output ('Torvane exit {0}: {1}' -f $run.ExitCode, $summary)
    }
} catch {
    Write-Output $_.Exception.Message
}
exit 0
