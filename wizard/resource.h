// Identifiers of the wizard's resources, shared by wizard.rc and the code.
#pragma once

#define IDD_WIZARD 100
#define IDS_LICENCE 200

// The dialog's size and the white band at its top, in dialog units.
#define WIZARD_WIDTH 330
#define WIZARD_HEIGHT 200
#define WIZARD_HEADER_HEIGHT 36

// Controls on every page.
#define IDC_HEADING 1001
#define IDC_SUBHEADING 1002
#define IDC_BACK 1011
#define IDC_NEXT 1012

// Each page's controls take the ids from 1100 + 100 * its number (welcome 0, licence 1,
// folder 2, progress 3); the dialog shows only the current page's.
#define WIZARD_PAGE_FIRST_ID 1100
#define WIZARD_PAGE_IDS 100
#define IDC_WELCOME_TEXT 1101
#define IDC_LICENCE_INTRO 1201
#define IDC_LICENCE_TEXT 1202
#define IDC_ACCEPT 1203
#define IDC_FOLDER_INTRO 1301
#define IDC_FOLDER 1302
#define IDC_COMPONENTS_LABEL 1303
#define IDC_COMPONENTS 1304
#define IDC_STATUS 1401
#define IDC_PROGRESS 1402
#define IDC_RESULT 1403
