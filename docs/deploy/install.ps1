# Installs a GearRack Installer package silently and acts on its exit code.
#   install.ps1 [-Package package.exe] [-Log file]
# Ends with the package's own exit code, so the caller's records show it unchanged.
# ExitCode is a signed 32-bit number: 0x80110409 is -2146368503; '0x{0:X8}' -f shows it in hexadecimal.
param(
    [string]$Package = (Join-Path $PSScriptRoot 'GearRackInstaller.exe'),
    [string]$Log = (Join-Path $env:TEMP 'GearRackInstaller.log'),
    # Words for the product's wizard, for example '"INSTALLDIR=D:\Apps\Oakcrest"'.
    [string]$WizardArguments = ''
)

$arguments = "/IAgreeToTheEULA log `"$Log`" $WizardArguments".TrimEnd()
$process = Start-Process -FilePath $Package -ArgumentList $arguments -Wait -PassThru
$code = $process.ExitCode
$hex = '0x{0:X8}' -f $code

switch ($code) {
    0 { Write-Output 'install: installed' }
    { $_ -in 3010, 3011, 1641 } { Write-Output "install: installed, Windows must restart to finish (exit code $code)" }
    -2146368503 {
        Write-Output 'install: the .NET Framework it needs is missing (0x80110409); install it and run again'
        Select-String -Path $Log -Pattern '^\.NET Version Not OK' | ForEach-Object { $_.Line }
    }
    -2147286928 { Write-Output 'install: not enough free disk space (0x80030070)' }
    -2146368493 { Write-Output 'install: needs administrator rights (0x80110413)' }
    -2147286953 { Write-Output 'install: the command line was refused (0x80030057)' }
    -2146762496 { Write-Output "install: the package's signature did not verify (0x800B0100); do not run this file" }
    1602 { Write-Output 'install: cancelled in the wizard (1602)' }
    default { Write-Output "install: failed with exit code $hex; see `"$Log`"" }
}
exit $code
