// The Win32 status window's names, shared by tallmoor.exe and the programs
// that drive it in tests: the window class and the control identifiers of
// the components, numbered in the window's declaration order (Timer1, 111,
// is no window).
#pragma once

constexpr char WindowClassName[] = "TForm1";

enum ControlId {
    IdLabel1 = 101,
    IdLabel2 = 102,
    IdEdit1 = 103,
    IdEdit2 = 104,
    IdLabel5 = 105,
    IdMemo1 = 106,
    IdEdit3 = 107,
    IdLabel3 = 108,
    IdEdit4 = 109,
    IdLabel4 = 110,
    IdButton1 = 112,
};
