# Torvane: the detection script of the app that runs Torvane once per device,
# as an Intune Win32 app or a Configuration Manager application.
#
# Intune (Apps > Windows > Add > Windows app (Win32)), the package made with
# the Win32 Content Prep Tool from a folder holding Torvane.exe:
#   Install command:   Torvane.exe /quiet /allusers /log "C:\ProgramData\Microsoft\IntuneManagementExtension\Logs\Torvane.log"
#   Uninstall command: Torvane.exe /restore /quiet /allusers /log "C:\ProgramData\Microsoft\IntuneManagementExtension\Logs\Torvane.log"
#   Install behavior:  System
#   Return codes (delete the rows Intune adds for Windows Installer's codes):
#   0      Success
#   32     Retry: a copy in use (Quorvex open), or another Torvane run held
#          this machine's users for 60 seconds
#   every other code, 2 included, stays Failed: within the app's reach 2
#   means the database went away between this script and the run
#   Detection rules: "Use a custom detection script", this file, "Run script
#   as 32-bit process on 64-bit clients": No.
#
# Configuration Manager (a Script Installer deployment type):
#   Installation program: Torvane.exe /quiet /allusers /log "C:\Windows\Logs\Torvane\Torvane.log"
#   Uninstall program:    Torvane.exe /restore /quiet /allusers /log "C:\Windows\Logs\Torvane\Torvane.log"
#   Detection method: "Use a custom script", PowerShell, this file.
#   User experience: Install for system, "Whether or not a user is logged on".
#   Return codes (delete the other rows the Script Installer adds):
#   0      Success (no reboot)
#   32     Fast Retry
#
# Runs as: System, in the 64-bit PowerShell host (either works: the paths
#          are literal and the registry is read in its 64-bit view).
# Does:    looks, changes nothing. The app is installed exactly when no copy
#          of the default database is left under its old name alone: the
#          shared C:\Program Files\Quorvex\QvxData.mdb and every profile's
#          VirtualStore copy of it. A copy whose .Advanced exists is done
#          whatever its old name holds now (Quorvex Basic makes a database of
#          its own there), and so is a copy under neither name, so the app
#          never runs on a machine without Quorvex. A database that a user's
#          own setting names elsewhere is seen only by Torvane.exe /check
#          /allusers (Intune-Remediation-Detect.ps1, ConfigMgr-CI-Discovery.ps1).
# Exit codes:
#   0      looked: installed when a line is written, not installed when none is
#   1      could not look (the line says why): neither tool counts it installed
# Output:  nothing to standard error, ever: it makes the detection fail.

$ErrorActionPreference = 'Stop'
$database = 'C:\Program Files\Quorvex\QvxData.mdb'
$storeCopy = 'AppData\Local\VirtualStore\Program Files\Quorvex\QvxData.mdb'
try {
    # Every person's profile as Torvane's /allusers takes them: local and
    # domain accounts (S-1-5-21-) and Microsoft Entra ID accounts (S-1-12-1-).
    $machine = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', 'Registry64')
    $profiles = $machine.OpenSubKey('SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList')
    $copies = @($database)
    foreach ($sid in $profiles.GetSubKeyNames()) {
        if ($sid -like 'S-1-5-21-*' -or $sid -like 'S-1-12-1-*') {
            # Joined as text: Join-Path fails on a drive that is not there.
            $folder = $profiles.OpenSubKey($sid).GetValue('ProfileImagePath')
            if ($folder) {
                $copies += [System.IO.Path]::Combine($folder, $storeCopy)
            }
        }
    }
    $left = @($copies | Where-Object {
            (Test-Path -LiteralPath $_ -PathType Leaf) -and
            -not (Test-Path -LiteralPath "$_.Advanced" -PathType Leaf)
        })
    if ($left.Count -eq 0) {
        Write-Output 'No copy of the Quorvex Advanced database is left under its old name.'
    }
    exit 0
} catch {
    Write-Output $_.Exception.Message
    exit 1
}
