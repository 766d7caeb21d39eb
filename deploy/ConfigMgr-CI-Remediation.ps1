# Torvane: Configuration Manager configuration item, the remediation script,
# beside ConfigMgr-CI-Discovery.ps1 (its header says where both go, and how
# they fit the client's script policy and timeout).
#
# Runs as: System, in either PowerShell host.
# Needs:   Torvane.exe in C:\Program Files\Torvane (Install-TorvaneExe.ps1).
# Does:    Torvane.exe /quiet /allusers with its log in C:\Windows\Logs\Torvane.
# Result:  the client counts a remediation failed only when the script throws,
#          whatever its exit code: this script throws "Torvane exit <code>:" and
#          Torvane's summary line unless the run exited 0, and throws when
#          Torvane.exe could not be run; on success it writes Torvane's summary.

$ErrorActionPreference = 'Stop'
$torvane = 'C:\Program Files\Torvane\Torvane.exe'
$log = 'C:\Windows\Logs\Torvane\Torvane.log'
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
    if ($run.ExitCode -ne 0) {
        throw $line
    }
    Write-Output $line
} catch {
    Write-Output $_.Exception.Message
    throw
}
