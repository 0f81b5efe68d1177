// The status window: built from its form resource, then the constructor's own
// steps; the layout on resize; clicks that ask the window to close.
#include "app/form.h"

#include "engine/runner.h"

const char NotLoggedOn[] = "Nicht angemeldet!";

// Outer size added to the client area by the default sizeable border and
// the caption (96 pixels per inch).
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 27;
constexpr int MinimumWidth = 310;
constexpr int MinimumHeight = 385;

static void Place(TControl& control, const char* name, int left, int top, int width, int height)
{
    control.Name = name;
    control.Left = left;
    control.Top = top;
    control.Width = width;
    control.Height = height;
}

static void MakeLabel(TLabel& label, const char* name, int left, int top, int width, const char* caption)
{
    Place(label, name, left, top, width, 13);
    label.Caption = caption;
    label.OnClick = &TForm1::GeneralClick;
}

static void MakeEdit(TEdit& edit, const char* name, int top, const char* text, int tabOrder)
{
    Place(edit, name, 72, top, 209, 21);
    edit.Text = text;
    edit.ReadOnly = true;
    edit.TabOrder = tabOrder;
}

TForm1::TForm1(TApplication& application, SessionContext& session, const char* programDir)
    : runScript(RunScript), application(application), session(session)
{
    CopyBounded(this->programDir, programDir, sizeof this->programDir);

    // The form resource.
    Caption = "SolvanTo TallMoor";
    Width = ClientWidth + FrameWidth;
    Height = ClientHeight + FrameHeight;
    Font.Height = -13;
    MakeLabel(Label1, "Label1", 26, 16, 34, "Server:");
    MakeLabel(Label2, "Label2", 15, 48, 45, "Benutzer:");
    MakeLabel(Label5, "Label5", 24, 136, 36, "Status: ");
    MakeLabel(Label3, "Label3", 17, 80, 43, "ExePfad:");
    MakeLabel(Label4, "Label4", 5, 112, 55, "LogonPfad:");
    MakeEdit(Edit1, "Edit1", 8, "server", 0);
    MakeEdit(Edit2, "Edit2", 40, "user", 1);
    Place(Memo1, "Memo1", 16, 160, 265, 177);
    Memo1.Lines.SetText(" ");
    Memo1.ReadOnly = true;
    Memo1.ScrollBars = TScrollStyle::ssBoth;
    Memo1.TabOrder = 2;
    MakeEdit(Edit3, "Edit3", 72, "ExePath", 3);
    MakeEdit(Edit4, "Edit4", 104, "LogonPath", 4);
    Place(Button1, "Button1", 240, 128, 41, 25);
    Button1.Caption = "Halt";
    Button1.TabOrder = 5;
    Button1.OnClick = &TForm1::Button1Click;
    Timer1.Name = "Timer1";
    Timer1.SetEnabled(false);
    Timer1.Interval = 500;

    // The constructor's steps.
    Timer1.SetEnabled(false);
    Timer1.Interval = 500;
    Timer1.OnTimer = &TForm1::TimerFunction;
    for (TFont* font : {&Font, &Label1.Font, &Label2.Font, &Label3.Font, &Label4.Font, &Label5.Font,
                        &Edit1.Font, &Edit2.Font, &Edit3.Font, &Edit4.Font})
        font->SetSize(8);
    for (TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4})
        edit->Text.clear();
    Memo1.Font.SetSize(8);
    Memo1.Lines.SetText("Start");
    Button1.Font.SetSize(8);
    Button1.Visible = false;
    if (Width < MinimumWidth)
        Width = MinimumWidth;
    if (Height < MinimumHeight)
        Height = MinimumHeight;
    // Integer division truncates toward zero, as the centring must.
    Left = (application.Screen.Width - Width) / 2;
    Top = (application.Screen.Height - Height) / 2;
    runState = RunState::Startup;
}

void TForm1::FormResize()
{
    if (Width < MinimumWidth)
        Width = MinimumWidth;
    if (Height < MinimumHeight)
        Height = MinimumHeight;
    for (TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4})
        edit->Width = Width - 100;
    Memo1.Width = Width - 40;
    const int memoTop = Label5.Top + 30;
    Memo1.Top = memoTop;
    Memo1.Height = Height - 50 - memoTop;
    Button1.Top = Label5.Top;
    Button1.Left = Edit4.Left + Edit4.Width - Button1.Width;
}

void TForm1::Resize(int width, int height)
{
    Width = width;
    Height = height;
    FormResize();
}

void TForm1::GeneralClick()
{
    Close();
}

void TForm1::Click(TControl& control)
{
    if (control.OnClick)
        (this->*control.OnClick)();
}

void TForm1::Close()
{
    if (closed)
        return;
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose)
        return;
    FormClose();
    closed = true;
    application.Terminate();
}

void TForm1::SetView(FormView* newView)
{
    view = newView;
    Memo1.Lines.SetListener(newView);
}

void TForm1::Update()
{
    if (view)
        view->Update();
}
