@echo off
rem Torvane: a computer startup script for Group Policy, for domain or
rem hybrid-joined machines only.
rem
rem Where:   Group Policy Management Editor, Computer Configuration, Policies,
rem          Windows Settings, Scripts (Startup/Shutdown), Startup: add this
rem          file, and copy Torvane.exe into the same folder of the policy
rem          (Show Files), which only those who may edit the policy can change.
rem Runs as: System, at a full start (a restart, or a shut down with Fast
rem          Startup off): a Fast Startup boot runs no startup script.
rem Does:    copies Torvane.exe from beside this file to
rem          C:\Program Files\Torvane, then runs Torvane.exe /quiet /allusers
rem          there with its log in C:\Windows\Logs\Torvane. A batch file waits
rem          for the windowed program it starts, so ERRORLEVEL is its code.
rem Exit codes: Torvane's own (README's exit table), or
rem   1      Torvane.exe could not be copied or found (the line says why)
rem Output:  Group Policy keeps none of it; the log holds every line.

setlocal
set "TORVANE=C:\Program Files\Torvane\Torvane.exe"
if exist "%~dp0Torvane.exe" (
    if not exist "C:\Program Files\Torvane\" mkdir "C:\Program Files\Torvane"
    copy /b /y "%~dp0Torvane.exe" "%TORVANE%" >nul || (
        echo Torvane.exe could not be copied to %TORVANE%
        exit /b 1
    )
)
if not exist "%TORVANE%" (
    echo Torvane.exe not found at %TORVANE%
    exit /b 1
)
"%TORVANE%" /quiet /allusers /log "C:\Windows\Logs\Torvane\Torvane.log"
exit /b %ERRORLEVEL%
