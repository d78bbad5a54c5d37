// Dialogs from templates: modal, or as child pages of another dialog, with data
// exchange in both directions and message handlers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt::fw {

class Dialog;

namespace details {
// Sees every message that reaches a dialog object (tests only).
using DialogDispatchObserver = void (*)(Dialog* dialog, UINT message);
void SetDialogDispatchObserver(DialogDispatchObserver observer) noexcept;
} // namespace details

// Moves values between a dialog's controls and its members. Loading fills the
// controls; saving reads them back and validates, and a failed validation keeps
// the dialog open with the offending control focused.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}

    [[nodiscard]] bool Saving() const noexcept { return save_; }

    // Text of an edit or static control; when saving, more than `max_length`
    // characters (0: no limit) fail with "Enter no more than %1 characters.".
    void Text(int id, std::wstring& value, std::size_t max_length = 0);
    // A check box.
    void Check(int id, bool& value);
    // A group of radio buttons that starts at `first_id` (the one with
    // WS_GROUP): the index of the checked button, -1 for none.
    void Radio(int first_id, int& index);

    // Focuses the control and ends the exchange as failed.
    [[noreturn]] void Fail(int id);

private:
    Dialog& dialog_;
    bool save_;
};

class Dialog {
public:
    explicit Dialog(UINT template_id) : template_id_(template_id) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog modally; returns the value given to EndDialog, or -1.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog as a modeless child (a page inside another dialog).
    bool Create(HWND parent);
    // Destroys a modeless dialog's window. A derived class whose handlers must
    // see the destruction calls it in its own destructor; ~Dialog detaches the
    // object from the window before it destroys what is left.
    void Destroy();

    [[nodiscard]] HWND Handle() const noexcept { return window_; }
    [[nodiscard]] HWND Item(int id) const { return ::GetDlgItem(window_, id); }
    [[nodiscard]] UINT TemplateId() const noexcept { return template_id_; }

    // Loads the controls from the members (false), or saves and validates them
    // (true); false when the validation failed.
    bool UpdateData(bool save = true);
    void EndDialog(INT_PTR result);

protected:
    // Runs the first data exchange; returns true to let the system set the focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    // Saves the data; on success ends a modal dialog with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    // A WM_COMMAND; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // Any other message; true when handled, with `result` as the dialog's answer
    // (a brush for WM_CTLCOLOR*, the value of DWLP_MSGRESULT for most others).
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // Whether the handler of the command is running (it may dispatch messages).
    [[nodiscard]] bool CommandRunning(WORD id) const noexcept;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static bool ReturnsResultDirectly(UINT message) noexcept;
    INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void Detach() noexcept;

    UINT template_id_;
    HWND window_ = nullptr;
    bool modal_ = false;
    std::vector<WORD> running_commands_;
};

} // namespace vt::fw
