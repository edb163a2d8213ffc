// Identifiers of the dialog templates and controls used by the dialog tests.
#pragma once

#define IDD_FRAMEWORK_TEST 100
#define IDD_HIDDEN_TEST 101

#define IDC_LABEL 1001
#define IDC_CENTERED 1002
#define IDC_DRAWN 1003
#define IDC_PROGRESS 1004
#define IDC_UNBOUND 1005
