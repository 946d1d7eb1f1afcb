@echo off
rem Installs a GearRack Installer package silently and acts on its exit code.
rem   install.cmd [package.exe] [log file]
rem Defaults: GearRackInstaller.exe beside this script, %TEMP%\GearRackInstaller.log.
rem Ends with the package's own exit code, so the caller's records show it unchanged.
rem %ERRORLEVEL% shows the 32-bit exit code as a signed decimal: 0x80110409 is -2146368503.
setlocal
set "PACKAGE=%~1"
if "%PACKAGE%"=="" set "PACKAGE=%~dp0GearRackInstaller.exe"
set "LOGFILE=%~2"
if "%LOGFILE%"=="" set "LOGFILE=%TEMP%\GearRackInstaller.log"
rem Words for the product's wizard, for example "INSTALLDIR=D:\Apps\Oakcrest" (quoted).
set WIZARD_ARGS=

rem start /wait: waits for the package and sets ERRORLEVEL to its exit code, and lets
rem Windows ask for administrator rights when the script runs without them.
start "" /wait "%PACKAGE%" /IAgreeToTheEULA log "%LOGFILE%" %WIZARD_ARGS%
set "CODE=%ERRORLEVEL%"

if "%CODE%"=="0" goto installed
if "%CODE%"=="3010" goto restart
if "%CODE%"=="1641" goto restart
if "%CODE%"=="3011" goto restart
if "%CODE%"=="-2146368503" goto no_framework
if "%CODE%"=="-2147286928" goto disk_full
if "%CODE%"=="-2146368493" goto not_administrator
if "%CODE%"=="-2147286953" goto usage
if "%CODE%"=="-2146762496" goto not_verified
if "%CODE%"=="1602" goto cancelled
goto failed

:installed
echo install: installed
goto done

:restart
echo install: installed, Windows must restart to finish (exit code %CODE%)
goto done

:no_framework
echo install: the .NET Framework it needs is missing (0x80110409); install it and run again
type "%LOGFILE%" | find ".NET Version Not OK"
goto done

:disk_full
echo install: not enough free disk space (0x80030070)
goto done

:not_administrator
echo install: needs administrator rights (0x80110413)
goto done

:usage
echo install: the command line was refused (0x80030057)
goto done

:not_verified
echo install: the package's signature did not verify (0x800B0100); do not run this file
goto done

:cancelled
echo install: cancelled in the wizard (1602)
goto done

:failed
echo install: failed with exit code %CODE%; see "%LOGFILE%"

:done
exit /b %CODE%
