@rem The .NET Framework the test prefix has: 4.8 (4.0 Full with the Release value of 4.8),
@rem in the 32-bit view of the registry. The tests that change it put this back.
@reg delete "HKLM\Software\Microsoft\NET Framework Setup\NDP" /f /reg:32 >nul 2>&1
@reg add "HKLM\Software\Microsoft\NET Framework Setup\NDP\v4\Full" /v Install /t REG_DWORD /d 1 /f /reg:32 >nul
@reg add "HKLM\Software\Microsoft\NET Framework Setup\NDP\v4\Full" /v Servicing /t REG_DWORD /d 0 /f /reg:32 >nul
@reg add "HKLM\Software\Microsoft\NET Framework Setup\NDP\v4\Full" /v Release /t REG_DWORD /d 528040 /f /reg:32 >nul
