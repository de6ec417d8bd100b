/* Resources used only by the Windows tests. Preprocessor lines only. */
#define IDD_TEST_NUMBER 9001
#define IDC_TEST_NUMBER 9002
