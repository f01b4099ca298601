#include "core/editing/propertiesedits.h"

#include <new>

#include "core/app/mainwindowhost.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/numbers.h"
#include "core/app/settingsstore.h"
#include "core/app/windowplacement.h"
#include "core/editing/colouredits.h"
#include "core/editing/pixeledit.h"
#include "core/editing/selectionrect.h"
#include "core/platform/dialogs.h"
#include "core/viewer/currentimage.h"
#include "core/viewer/pictureloadrules.h"
#include "core/viewer/zoompan.h"

namespace vistrel::core {

namespace {
constexpr const char* kMessageCaption = "Vistrel";
// Where the dialog opens when the stored position is missing or not a number: the default
// that the first start writes.
constexpr Twips kDefaultPosition = 2000;
} // namespace

PropertiesEdits::PropertiesEdits(SettingsStore& settings, MainWindowHost& host, Dialogs& dialogs,
                                 PixelEdit& pixelEdit, CurrentImage& current, ZoomPan& zoom,
                                 SelectionRect& selection, const MainWindowModel& model,
                                 CommandSink& commands, std::function<bool()> editsBlocked,
                                 char decimalSeparator)
    : m_settings(settings), m_host(host), m_dialogs(dialogs), m_pixelEdit(pixelEdit),
      m_current(current), m_zoom(zoom), m_selection(selection), m_model(model),
      m_commands(commands), m_editsBlocked(std::move(editsBlocked)), m_separator(decimalSeparator) {
}

void PropertiesEdits::Open(PropertiesPanel panel) {
    const bool created = !m_dialog;
    // The original size is taken here only: later loads and resizes leave it.
    if (created)
        m_dialog.emplace(m_current.picload().width(), m_current.picload().height(), m_separator);
    m_dialog->ShowPanel(panel);
    if (created) Place(*m_dialog);
    m_host.ShowPropertiesWindow();
}

void PropertiesEdits::Place(PropertiesDialog& dialog) {
    const std::vector<Box> screens = m_host.ScreenAreas();
    const auto stored = [this](const char* key) {
        return ParseNumber(m_settings.Read(key)).value_or(kDefaultPosition);
    };
    Box box{placement::ClampLeft(stored("propl"), screens),
            placement::ClampTop(stored("propt"), screens), PropertiesClientWidth, dialog.Height()};
    // Left on another monitor that is gone, or dragged nearly off the screen: centred on the
    // primary screen, so the user can always reach it.
    if (!placement::Reachable(box, screens)) box = placement::OntoPrimary(box, screens);
    dialog.Left = box.left;
    dialog.Top = box.top;
}

void PropertiesEdits::Close() {
    if (!m_dialog) return;
    m_settings.Write("propl", FormatNumber(m_dialog->Left));
    m_settings.Write("propt", FormatNumber(m_dialog->Top));
    m_dialog.reset();
    m_host.ClosePropertiesWindow();
}

void PropertiesEdits::Click(std::string_view button) {
    if (!m_dialog) return;
    if (button == "cmdBOk")
        ApplyBrightness();
    else if (button == "cmdRGBOk")
        ApplyRgbBalance();
    else if (button == "cmdCReplace")
        ApplyReplace();
    else if (button == "cmdROk")
        ApplyResize();
    else if (button == "cmdBCancel" || button == "cmdRGBCancel" || button == "cmdCCancel" ||
             button == "cmdRCancel")
        Close();
    else if (button == "cmdColor1")
        PickColour("picC1");
    else if (button == "cmdColor2")
        PickColour("picC2");
}

void PropertiesEdits::SliderChanged(std::string_view slider, int value) {
    if (m_dialog) m_dialog->SetSlider(slider, value);
}

void PropertiesEdits::TextChanged(std::string_view box, const std::string& text) {
    if (m_dialog) m_dialog->EditText(box, text);
}

void PropertiesEdits::CheckChanged(std::string_view box, bool checked) {
    if (m_dialog && box == "chkProp") m_dialog->SetProportional(checked);
}

void PropertiesEdits::Moved(Twips left, Twips top) {
    if (!m_dialog) return;
    m_dialog->Left = left;
    m_dialog->Top = top;
}

void PropertiesEdits::PickColour(std::string_view swatch) {
    const std::optional<Colour> chosen = m_dialogs.ChooseColour(m_dialog->PickerColour());
    // The picker is modal, but the dialog may have gone meanwhile with the program's end.
    if (m_dialog) m_dialog->ColourPicked(swatch, chosen);
}

bool PropertiesEdits::MayEdit() const {
    return m_dialog && !(m_editsBlocked && m_editsBlocked()) && !RefusesReduced();
}

bool PropertiesEdits::RefusesReduced() const {
    if (!m_current.PictureShown() || !m_current.IsReduced()) return false;
    m_dialogs.MessageBox(ReducedPictureMessage, kMessageCaption, MessageButtons::OK,
                         MessageIcon::Warning);
    return true;
}

void PropertiesEdits::ApplyBrightness() {
    if (!MayEdit()) return;
    const int amount = m_dialog->SliderValue("sldBrightness");
    if (!m_pixelEdit.BeginPixelEdit(m_current.picload(), m_current.PictureShown())) return;
    Brightness(m_pixelEdit.ImagePixels(), m_pixelEdit.OutputSurface(), amount,
               m_pixelEdit.progress());
    m_pixelEdit.EndPixelEdit({0, 0, m_pixelEdit.PixelWidth(), m_pixelEdit.PixelHeight()});
    m_host.Focus(MainWindowHost::FocusTarget::Picture);
}

void PropertiesEdits::ApplyRgbBalance() {
    if (!MayEdit()) return;
    const int red = m_dialog->SliderValue("sldRed");
    const int green = m_dialog->SliderValue("sldGreen");
    const int blue = m_dialog->SliderValue("sldBlue");
    if (!m_pixelEdit.BeginPixelEdit(m_current.picload(), m_current.PictureShown())) return;
    RgbBalance(m_pixelEdit.ImagePixels(), m_pixelEdit.OutputSurface(), red, green, blue,
               m_pixelEdit.progress());
    m_pixelEdit.EndPixelEdit({0, 0, m_pixelEdit.PixelWidth(), m_pixelEdit.PixelHeight()});
    m_host.Focus(MainWindowHost::FocusTarget::Picture);
}

void PropertiesEdits::ApplyReplace() {
    if (!MayEdit()) return;
    // Read before the edit's one yield, which may close the dialog.
    const Colour from = m_dialog->SwatchColour("picC1");
    const Colour to = m_dialog->SwatchColour("picC2");
    const int tolerance = m_dialog->SliderValue("sldColor");
    if (!m_pixelEdit.BeginPixelEdit(m_current.picload(), m_current.PictureShown())) return;
    ReplaceColour(m_pixelEdit.ImagePixels(), m_pixelEdit.OutputSurface(), from, to, tolerance,
                  m_pixelEdit.progress(RowProgress::Whole));
    // No timing message and the keys stay where they are.
    m_pixelEdit.EndPixelEdit({0, 0, m_pixelEdit.PixelWidth(), m_pixelEdit.PixelHeight()},
                             EditReport::Silent);
}

std::optional<int> PropertiesEdits::ReadSide(std::string_view box, const char* what) {
    const std::string& text = m_dialog->Text(box);
    std::string problem;
    const std::optional<double> value = ParseNumber(text, m_separator);
    if (!value) {
        problem = std::string("The new ") + what + " \"" + text + "\" is not a number.";
    } else {
        const std::int64_t pixels = RoundHalfEven(*value);
        if (pixels < 1)
            problem = std::string("The new ") + what + " must be at least 1 pixel.";
        else if (pixels > MaxResizeSide)
            problem = std::string("The new ") + what + " of " + FormatNumber(*value, m_separator) +
                      " pixels is too large: a side can have at most " +
                      std::to_string(MaxResizeSide) + " pixels.";
        else
            return static_cast<int>(pixels);
    }
    m_dialogs.MessageBox(problem, kMessageCaption, MessageButtons::OK);
    return std::nullopt;
}

void PropertiesEdits::ApplyResize() {
    if (!m_dialog || !m_current.PictureShown() || m_current.picload().isNull()) return;
    if (RefusesReduced()) return;
    // The height first, as the surface takes it first.
    const std::optional<int> height = ReadSide("txtHeight", "height");
    if (!height) return;
    const std::optional<int> width = ReadSide("txtWidth", "width");
    if (!width) return;
    const std::string size = std::to_string(*width) + " x " + std::to_string(*height) + " pixels";
    if (IsTooLarge(*width, *height, m_current.DecodeLimit())) {
        m_dialogs.MessageBox("A picture of " + size + " is too large: it would need more than " +
                                 std::to_string(m_current.DecodeLimit() / (1024 * 1024)) +
                                 " MB of memory.",
                             kMessageCaption, MessageButtons::OK);
        return;
    }
    try {
        m_current.ResizeFromSource(*width, *height);
    } catch (const std::bad_alloc&) {
        m_dialogs.MessageBox("There is not enough memory for a picture of " + size + ".",
                             kMessageCaption, MessageButtons::OK);
        return;
    }
    m_zoom.ShowNaturalSize();
    m_selection.ClearSelection();
    m_current.CenterPicture();
    // With the display pane hidden the picture is seen in the full-screen window.
    if (!m_model.picDisplay.visible) m_commands.Run(Command::FullScreen);
}

} // namespace vistrel::core
