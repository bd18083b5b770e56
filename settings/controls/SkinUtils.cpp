#include "settings/controls/SkinUtils.h"

#include "winlib/app_module.h"

namespace settings {

TSkinStream OpenSkinResource(const wchar_t* name, const wchar_t* type) {
    TSkinStream stream;
    HMODULE module = winlib::Module().Instance();
    HRSRC info = name ? ::FindResourceW(module, name, type) : nullptr;
    if (!info) return stream;
    HGLOBAL handle = ::LoadResource(module, info);
    const void* data = handle ? ::LockResource(handle) : nullptr;
    if (!data) return stream;
    stream.Data = data;
    stream.Size = ::SizeofResource(module, info);
    return stream;
}

bool SkinImageButton(TButtonImage* button, const wchar_t* name, int frameWidth, int frameHeight, TStateCount states) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (!button) return true;
    button->LoadStrip(stream.Data, stream.Size, frameWidth, frameHeight);
    const TQRGBAList& frames = button->RGBAList();
    if (frames.Count() > 2) {
        button->SetNormalBmp(*frames.Items(0));
        button->SetPassBmp(*frames.Items(1));
        button->SetPressBmp(*frames.Items(2));
        if (states == kFourStates && frames.Count() > 3) button->SetDisableBmp(*frames.Items(3));
    }
    return true;
}

bool SkinTabButton(TTabButton* tab, const wchar_t* name, int frameWidth, int frameHeight, TTabKind kind, bool selected) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (!tab) return true;
    tab->LoadStrip(stream.Data, stream.Size, frameWidth, frameHeight);
    // Tabs append to their list: the frames of this strip are the last ones.
    const TQRGBAList& frames = tab->RGBAList();
    const int needed = kind == kPageTab ? 3 : 4;
    if (frames.Count() >= needed) {
        tab->SetNormalBmp(*frames.Items(0));
        tab->SetPassBmp(*frames.Items(1));
        tab->SetPressBmp(*frames.Items(2));
        tab->SetSelectBmp(*frames.Items(kind == kPageTab ? 2 : 3));
    }
    tab->SetSelected(selected);
    return true;
}

bool SkinCheckBox(TCheckLabelButton* box, const wchar_t* name, int frameWidth, int frameHeight) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (!box) return true;
    box->LoadStrip(stream.Data, stream.Size, frameWidth, frameHeight);
    const TQRGBAList& frames = box->RGBAList();
    if (frames.Count() >= 5) {
        box->SetCheckBmp(*frames.Items(4));
        box->SetUnCheckBmp(*frames.Items(0));
    }
    return true;
}

bool SkinComboButton(TQComboBox* box, const wchar_t* name, int frameWidth, int frameHeight) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (!box) return true;
    box->LoadStrip(stream.Data, stream.Size, frameWidth, frameHeight);
    const TQRGBAList& frames = box->RGBAList();
    if (frames.Count() > 3) {
        box->NormalBmp.Assign(*frames.Items(2));
        box->HoverBmp.Assign(*frames.Items(1));
        box->DownBmp.Assign(*frames.Items(1));
        box->DisableBmp.Assign(*frames.Items(3));
    }
    return true;
}

bool SkinClock(TGraphicTime* clock, const wchar_t* name, int itemWidth, int itemHeight) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (clock) clock->LoadStrip(stream.Data, stream.Size, itemWidth, itemHeight);
    return true;
}

bool LoadSkinStrip(TQRGBAList* list, const wchar_t* name, int frameWidth, int frameHeight) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (list) {
        list->Clear();
        list->LoadStrip(stream.Data, stream.Size, frameWidth, amPremultiplied, frameHeight);
    }
    return true;
}

bool LoadSkinImage(TQRGBA* image, const wchar_t* name, TAlphaMode mode) {
    const TSkinStream stream = OpenSkinResource(name);
    if (!stream) return false;
    if (!image) return true;
    TPngData png;
    if (!DecodePng(stream.Data, stream.Size, png)) return false;
    image->SetAlphaMode(mode);
    PngToRGBA(png, *image);
    return true;
}

bool SetSwitchButtonSkin(TButtonImage& button, bool on) {
    const TSkinStream stream = OpenSkinResource(on ? L"btnsetopen" : L"btnsetclose");
    if (!stream) return false;
    button.LoadStrip(stream.Data, stream.Size, 33, 13);
    const TQRGBA* frame = button.RGBAList().Items(0);
    if (!frame) return false;
    button.SetNormalBmp(*frame);
    button.SetPassBmp(*frame);
    button.SetPressBmp(*frame);
    button.Invalidate();
    return true;
}

namespace {

struct Stop {
    std::wstring* stoppedAt;
    bool operator()(bool loaded, const wchar_t* name) const {
        if (!loaded && stoppedAt) *stoppedAt = name;
        return !loaded;
    }
};

}  // namespace

bool LoadSkin(TSkinTargets& t, std::wstring* stoppedAt) {
    if (stoppedAt) stoppedAt->clear();
    const Stop stop{stoppedAt};
    TListRowSkin& rows = t.Rows ? *t.Rows : ListRowSkin();

    // Whole pictures that are missing are simply left out.
    if (!t.HealthPage) LoadSkinImage(t.Background, L"MainBackground");
    LoadSkinImage(t.TitleTimerAlert, L"TitleTimerAlert");
    LoadSkinImage(t.TitleTimerShutDown, L"TitleTimerShutDown");
    LoadSkinImage(t.TitleEye, L"titleeye");
    LoadSkinImage(t.TitleSet, L"titleset");
    if (t.HealthPage) LoadSkinImage(t.Background, L"eyebg");

    if (stop(LoadSkinStrip(&rows.RowBack, L"bg_list_select", 2, 51), L"bg_list_select")) return false;
    if (stop(LoadSkinStrip(&rows.Play, L"btn_play", 26, 27), L"btn_play")) return false;
    if (stop(LoadSkinStrip(&rows.Pause, L"btn_pause", 26, 28), L"btn_pause")) return false;
    if (stop(LoadSkinStrip(&rows.Delete, L"btn_delete", 26, 27), L"btn_delete")) return false;
    if (stop(LoadSkinStrip(&rows.Suspension, L"btnsuspension", 26, 28), L"btnsuspension")) return false;

    if (t.HealthPage) {
        if (stop(SkinImageButton(t.EyeExercise, L"btnplayeye", 101, 45, kThreeStates), L"btnplayeye")) return false;
        if (stop(SkinImageButton(t.SpareNeckExercise, L"btnplayjz", 106, 46, kThreeStates), L"btnplayjz")) return false;
        LoadSkinImage(t.SetupPicture, L"btnsetup");
        if (stop(SkinTabButton(t.EyeTab, L"tabeye", 135, 47, kPageTab, true), L"tabeye")) return false;
        if (stop(SkinTabButton(t.NeckTab, L"tabneck", 135, 47, kPageTab, false), L"tabneck")) return false;
        if (stop(SkinTabButton(t.OriginModeTab, L"originmode", 65, 69, kModeTab, true), L"originmode")) return false;
        if (stop(LoadSkinStrip(t.StandardMode, L"standardmode", 65, 69), L"standardmode")) return false;
        if (stop(LoadSkinStrip(t.StandardModeGray, L"standardmodegray", 65, 69), L"standardmodegray")) return false;
        if (stop(SkinTabButton(t.ChildModeTab, L"childmode", 65, 69, kModeTab, false), L"childmode")) return false;
        if (stop(SkinTabButton(t.OldManModeTab, L"oldmanmode", 65, 69, kModeTab, false), L"oldmanmode")) return false;
        if (stop(SkinImageButton(t.SpareNeckExercise, L"icon_movie", 130, 114, kThreeStates), L"icon_movie")) return false;
        if (stop(SkinImageButton(t.NeckExercise, L"icon_word", 125, 111, kThreeStates), L"icon_word")) return false;
    }

    LoadSkinImage(t.EmptyListPicture, L"icon_clock");
    if (stop(SkinImageButton(t.CloseButton, L"btnClose", 39, 20, kThreeStates), L"btnClose")) return false;
    for (TButtonImage* button : t.PushButtons)
        if (stop(SkinImageButton(button, L"Button_Normal", 60, 23, kThreeStates), L"Button_Normal")) return false;
    for (TButtonImage* button : t.SoundBrowseButtons)
        if (stop(SkinImageButton(button, L"text_box_sound", 18, 18, kFourStates), L"text_box_sound")) return false;
    for (TButtonImage* button : t.MorePushButtons)
        if (stop(SkinImageButton(button, L"Button_Normal", 60, 23, kThreeStates), L"Button_Normal")) return false;
    if (TButtonImage* last = t.MorePushButtons.back())
        if (const TQRGBA* frame = last->RGBAList().Items(0)) last->SetDisableBmp(*frame);
    LoadSkinImage(t.FilePicture, L"icon_file");
    if (stop(SkinImageButton(t.AddButton, L"btn_add", 57, 23, kThreeStates), L"btn_add")) return false;
    if (stop(SkinImageButton(t.ManageButton, L"btn_manager", 26, 23, kThreeStates), L"btn_manager")) return false;
    if (stop(SkinImageButton(t.ReturnButton, L"btn_return", 57, 23, kThreeStates), L"btn_return")) return false;
    LoadSkinImage(t.BottomPanel, L"bg_bottom", amNone);
    for (TCheckLabelButton* box : t.CheckBoxes)
        if (stop(SkinCheckBox(box, L"CheckBox", 13, 14), L"CheckBox")) return false;
    if (stop(SkinClock(t.ShutDownClock, L"number_03", 14, 20), L"number_03")) return false;
    if (stop(SkinClock(&rows.ActiveClock, L"number_01", 10, 14), L"number_01")) return false;
    if (stop(SkinClock(&rows.ExpiredClock, L"number_02", 10, 14), L"number_02")) return false;
    if (stop(SkinCheckBox(t.FourthCheckBox, L"CheckBox", 13, 14), L"CheckBox")) return false;
    for (TQComboBox* box : t.ComboBoxes)
        if (stop(SkinComboButton(box, L"text_box_down", 18, 18), L"text_box_down")) return false;
    if (t.ComboBoxes.empty() && stop(SkinComboButton(nullptr, L"text_box_down", 18, 18), L"text_box_down")) return false;
    LoadSkinImage(t.RestPanel, L"bg_pnl_rest");
    LoadSkinImage(t.ColorPanel, L"bg_pnl_protectcolor");
    LoadSkinImage(t.RestHint, L"bg_rest_hint");
    LoadSkinImage(t.RestHint2, L"bg_rest_hint2");
    for (TQRGBA* line : t.DottedLines) LoadSkinImage(line, L"Dotted_line");
    LoadSkinImage(t.IconFont, L"icon_font");
    LoadSkinImage(t.IconRefresh, L"icon_refresh");
    LoadSkinImage(t.IconSolution, L"icon_solution");
    if (stop(SkinClock(t.NextRestClock, L"number", 17, 20), L"number")) return false;
    return true;
}

const std::vector<TSkinEntry>& SkinResourceTable() {
    static const std::vector<TSkinEntry> table = {
        {L"MainBackground", 320, 365, 0},  {L"TitleTimerAlert", 0, 0, 0},  {L"TitleTimerShutDown", 0, 0, 0},
        {L"titleeye", 0, 0, 0},            {L"titleset", 0, 0, 0},         {L"eyebg", 620, 420, 0},
        {L"bg_list_select", 2, 51, 3},     {L"btn_play", 26, 27, 4},       {L"btn_pause", 26, 28, 4},
        {L"btn_delete", 26, 27, 4},        {L"btnsuspension", 26, 28, 4},  {L"btnplayeye", 101, 45, 3},
        {L"btnplayjz", 106, 46, 3},        {L"btnsetup", 0, 0, 0},         {L"tabeye", 135, 47, 3},
        {L"tabneck", 135, 47, 3},          {L"originmode", 65, 69, 4},     {L"standardmode", 65, 69, 4},
        {L"standardmodegray", 65, 69, 4},  {L"childmode", 65, 69, 4},      {L"oldmanmode", 65, 69, 4},
        {L"icon_movie", 130, 114, 3},      {L"icon_word", 125, 111, 3},    {L"icon_clock", 0, 0, 0},
        {L"btnClose", 39, 20, 3},          {L"Button_Normal", 60, 23, 3},  {L"text_box_sound", 18, 18, 4},
        {L"icon_file", 0, 0, 0},           {L"btn_add", 57, 23, 3},        {L"btn_manager", 26, 23, 3},
        {L"btn_return", 57, 23, 3},        {L"bg_bottom", 0, 0, 0},        {L"CheckBox", 13, 14, 9},
        {L"number_03", 14, 20, 11},        {L"number_01", 10, 14, 12},     {L"number_02", 10, 14, 11},
        {L"text_box_down", 18, 18, 4},     {L"bg_pnl_rest", 165, 119, 0},  {L"bg_pnl_protectcolor", 165, 81, 0},
        {L"bg_rest_hint", 0, 0, 0},        {L"bg_rest_hint2", 0, 0, 0},    {L"Dotted_line", 0, 0, 0},
        {L"icon_font", 0, 0, 0},           {L"icon_refresh", 0, 0, 0},     {L"icon_solution", 0, 0, 0},
        {L"number", 17, 20, 11},           {L"btnsetopen", 33, 13, 1},     {L"btnsetclose", 33, 13, 1},
        {L"Confirmbg", 0, 0, 0},           {L"line", 0, 0, 0},
    };
    return table;
}

}  // namespace settings
