#include "dialog_template_image.h"

#include <cstdint>

namespace ui {

namespace {

// Atoms of the predefined window classes, as a template names them.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;
constexpr wchar_t kTrackbarClass[] = L"msctls_trackbar32";

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kNormalWeight = 400;
constexpr BYTE kDefaultCharset = 1;

class ImageWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(static_cast<WORD>(value & 0xFFFFu));
        Word(static_cast<WORD>(value >> 16));
    }
    void Short(int value) { Word(static_cast<WORD>(static_cast<int16_t>(value))); }
    void Text(const wchar_t* text) {
        // wchar_t is 16 bits on Windows; the characters are copied as they are.
        for (const wchar_t* p = text ? text : L""; *p != L'\0'; ++p) Word(static_cast<WORD>(*p));
        Word(0);
    }
    void AlignDword() {
        if (m_words.size() % 2 != 0) Word(0);
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

void WriteClass(ImageWriter& out, ControlClass controlClass) {
    switch (controlClass) {
    case ControlClass::Button:
        out.Word(0xFFFF);
        out.Word(kButtonAtom);
        return;
    case ControlClass::Static:
        out.Word(0xFFFF);
        out.Word(kStaticAtom);
        return;
    case ControlClass::ComboBox:
        out.Word(0xFFFF);
        out.Word(kComboBoxAtom);
        return;
    case ControlClass::Trackbar:
        out.Text(kTrackbarClass);
        return;
    }
    out.Text(L"");
}

}  // namespace

std::vector<WORD> BuildDialogTemplateImage(const DialogTemplate& dialogTemplate) {
    ImageWriter out;
    out.Word(kExtendedVersion);
    out.Word(kExtendedSignature);
    out.Dword(0);  // help context
    out.Dword(dialogTemplate.exStyle);
    out.Dword(dialogTemplate.style);
    out.Word(static_cast<WORD>(dialogTemplate.controlCount));
    out.Short(dialogTemplate.x);
    out.Short(dialogTemplate.y);
    out.Short(dialogTemplate.cx);
    out.Short(dialogTemplate.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog manager's own window class
    out.Text(dialogTemplate.title);
    if (dialogTemplate.style & DS_SETFONT) {
        out.Word(static_cast<WORD>(dialogTemplate.fontPointSize));
        out.Word(kNormalWeight);
        out.Word(static_cast<WORD>(kDefaultCharset << 8));  // italic 0, then the character set
        out.Text(dialogTemplate.fontName);
    }
    for (size_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        out.AlignDword();
        out.Dword(0);  // help context
        out.Dword(0);  // extended style
        out.Dword(control.style);
        out.Short(control.x);
        out.Short(control.y);
        out.Short(control.cx);
        out.Short(control.cy);
        out.Dword(static_cast<DWORD>(control.id));
        WriteClass(out, control.controlClass);
        out.Text(control.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace ui
