# Torvane: puts Torvane.exe where the scripts that run it look for it,
# C:\Program Files\Torvane\Torvane.exe (Program Files' own access rules:
# only administrators can change it). The 64-bit folder is named literally,
# so a 32-bit host (the way Intune starts install commands) copies to it too.
#
# Intune: a Win32 app whose package, made with the Win32 Content Prep Tool,
# holds this file and Torvane.exe side by side:
#   Install command:   powershell.exe -NoProfile -ExecutionPolicy Bypass -File .\Install-TorvaneExe.ps1
#   Uninstall command: powershell.exe -NoProfile -ExecutionPolicy Bypass -File .\Install-TorvaneExe.ps1 -Remove
#   Install behavior:  System
#   Detection rules:   "Use a custom detection script", Detect-TorvaneExe.ps1.
# Configuration Manager: a Script Installer deployment type with the same two
# commands as installation and uninstall program, "Install for system",
# "Whether or not a user is logged on", and Detect-TorvaneExe.ps1 as its
# custom detection script (PowerShell).
#
# Runs as: System, in either PowerShell host.
# Exit codes:
#   0      copied (or, with -Remove, the folder is gone)
#   1      not done: the line says why (Torvane.exe missing beside this
#          script, or in use by a run: the next evaluation tries again)

param([switch]$Remove)
$ErrorActionPreference = 'Stop'
$folder = 'C:\Program Files\Torvane'
$torvane = Join-Path $folder 'Torvane.exe'
try {
    if ($Remove) {
        if (Test-Path -LiteralPath $folder) {
            Remove-Item -LiteralPath $folder -Recurse -Force
        }
        Write-Output "Removed $folder"
        exit 0
    }
    $source = Join-Path $PSScriptRoot 'Torvane.exe'
    if (-not (Test-Path -LiteralPath $source -PathType Leaf)) {
        throw "Torvane.exe not found at $source"
    }
    [System.IO.Directory]::CreateDirectory($folder) | Out-Null
    Copy-Item -LiteralPath $source -Destination $torvane -Force
    Write-Output "Copied Torvane.exe to $torvane"
    exit 0
} catch {
    Write-Output $_.Exception.Message
    exit 1
}
