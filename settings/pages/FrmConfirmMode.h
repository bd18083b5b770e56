// The small skinned box with which the settings program asks the user to
// confirm a display-mode change and then to restart or log off now or
// later: a title of coloured runs, a separator, two grey message lines and
// two push buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "protocol/window_messages.h"
#include "settings/controls/ButtonImage.h"
#include "settings/controls/ColorLabel.h"
#include "settings/controls/GraphicPanel.h"
#include "settings/forms/form.h"

namespace settings {

constexpr wchar_t kConfirmModeWindowClass[] = L"TFormConfirmMode";

struct TConfirmInfo {
    std::wstring Title;
    std::wstring SecondLine;
    std::wstring Message;
    std::wstring Message2;
    std::wstring OkCaption;
    std::wstring CancelCaption;
};

class TFormConfirmMode : public forms::TForm {
public:
    TFormConfirmMode();

    // Fills the box from `info` and lays it out (everything ShowConfirm
    // does before showing it).
    void Prepare(const TConfirmInfo& info);
    void Layout(bool oneLine);

    TButtonImage* CloseButton() const { return close_; }
    TButtonImage* OkButton() const { return ok_; }
    TButtonImage* CancelButton() const { return cancel_; }
    TColorLabel* TitleLabel() const { return label1_; }
    TColorLabel* SecondLabel() const { return label2_; }
    forms::TLabel* lblMsg() const { return msg_; }
    forms::TLabel* lblMsg2() const { return msg2_; }
    TGraphicPanel* imgLine() const { return line_; }
    // False when a strip of the box was missing.
    bool Skinned() const { return skinned_; }

    // Runs once the box is on screen inside its modal loop (for tests and
    // callers that want to look at it).
    std::function<void(TFormConfirmMode&)> OnShown;
    int ShowModal();

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(kShownMessage, OnShownMessage)
        WL_CHAIN_MSG_MAP(forms::TForm)
    WL_END_MSG_MAP()

protected:
    void FormCreate() override;
    void FormPaint(HDC dc, const RECT& client) override;
    void FormMouseDown(POINT pt) override;

private:
    static constexpr UINT kShownMessage = protocol::WM_CONFIRM_SHOWN;
    LRESULT OnShownMessage(UINT, WPARAM, LPARAM, BOOL&);
    void LoadSkin();
    void SizeLabel(forms::TLabel& label);

    TButtonImage* close_ = nullptr;
    TButtonImage* ok_ = nullptr;
    TButtonImage* cancel_ = nullptr;
    TColorLabel* label1_ = nullptr;
    TColorLabel* label2_ = nullptr;
    forms::TLabel* msg_ = nullptr;
    forms::TLabel* msg2_ = nullptr;
    TGraphicPanel* line_ = nullptr;
    bool skinned_ = false;
};

// Shows the box modally; true when it closed with the first (OK) button.
// `onShown` runs inside the box's modal loop once it is visible.
bool ShowConfirm(const TConfirmInfo& info, HWND owner = nullptr,
                 std::function<void(TFormConfirmMode&)> onShown = nullptr);

}  // namespace settings
