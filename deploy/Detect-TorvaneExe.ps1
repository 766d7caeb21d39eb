# Torvane: the detection script of the app Install-TorvaneExe.ps1 installs
# (Intune Win32 app or Configuration Manager application; see that file).
#
# Runs as: System, in either PowerShell host: the path is literal.
# Does:    looks, changes nothing. Installed when C:\Program Files\Torvane
#          holds Torvane.exe of this release or a later one, so a new
#          release's app replaces an older copy.
# Exit codes:
#   0      looked: installed when a line is written, not installed when none is
#   1      could not look (the line says why)

$ErrorActionPreference = 'Stop'
$torvane = 'C:\Program Files\Torvane\Torvane.exe'
$release = [version]'1.0.0.0'
try {
    if (Test-Path -LiteralPath $torvane -PathType Leaf) {
        $file = [System.Diagnostics.FileVersionInfo]::GetVersionInfo($torvane)
        $found = New-Object System.Version -ArgumentList $file.FileMajorPart, $file.FileMinorPart, $file.FileBuildPart, $file.FilePrivatePart
        if ($found -ge $release) {
            Write-Output "Torvane.exe $found is at $torvane"
        }
    }
    exit 0
} catch {
    Write-Output $_.Exception.Message
    exit 1
}
