#include "qt/windows/printwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "qt/platform/imageconvert.h"
#include "qt/platform/pathtext.h"
#include "qt/platform/twips.h"

namespace vistrel::qt {

using core::PrintControlKind;

PrintWindow::PrintWindow(core::Application& app, double twipsPerPixel, Act act,
                         const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_app(app), m_tpp(twipsPerPixel), m_act(std::move(act)) {
    setObjectName("frmPrint");
    setWindowTitle(core::PrintCaption);
    setWindowIcon(icon);
    setFixedSize(ToPixels(core::PrintClientWidth, m_tpp), ToPixels(core::PrintClientHeight, m_tpp));
    for (const core::PrintControl& control : core::PrintControls()) {
        const auto container = m_controls.find(control.container);
        QWidget* widget =
            build(control, container != m_controls.end() ? container->second : this);
        widget->setGeometry(ToPixelRect(control.box, m_tpp));
        widget->setObjectName(QString::fromStdString(control.name));
        m_controls[control.name] = widget;
    }
    sync();
}

QWidget* PrintWindow::build(const core::PrintControl& control, QWidget* parent) {
    const QString caption = QString::fromStdString(control.caption);
    const std::string name = control.name;
    core::Application& app = m_app;
    const Act act = m_act;
    switch (control.kind) {
    case PrintControlKind::Frame:
        return new QGroupBox(caption, parent);
    case PrintControlKind::List: {
        auto* list = new QListWidget(parent);
        connect(list, &QListWidget::currentRowChanged, this,
                [act, &app](int row) { act([&app, row] { app.PrintChoose("lstFiles", row); }); });
        return list;
    }
    case PrintControlKind::Preview: {
        auto* frame = new QFrame(parent);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    }
    case PrintControlKind::Image:
        return new QLabel(parent);
    case PrintControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        // The previewed file's name sits centred under its picture.
        if (name == "lblFileName") label->setAlignment(Qt::AlignCenter);
        return label;
    }
    case PrintControlKind::Check: {
        auto* check = new QCheckBox(caption, parent);
        connect(check, &QCheckBox::toggled, this, [act, &app](bool checked) {
            act([&app, checked] { app.PrintNamesChecked(checked); });
        });
        return check;
    }
    case PrintControlKind::Combo: {
        auto* combo = new QComboBox(parent);
        connect(combo, &QComboBox::activated, this, [act, &app, name](int index) {
            act([&app, name, index] { app.PrintChoose(name, index); });
        });
        return combo;
    }
    case PrintControlKind::Text: {
        auto* edit = new QLineEdit(caption, parent);
        connect(edit, &QLineEdit::textEdited, this, [act, &app](const QString& text) {
            act([&app, text = text.toStdString()] { app.PrintCopiesText(text); });
        });
        return edit;
    }
    case PrintControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Vertical, parent);
        bar->setRange(core::MinCopies, core::MaxCopies);
        // The upper arrow raises the number, as on a spinner.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
        connect(bar, &QScrollBar::valueChanged, this, [act, &app](int value) {
            act([&app, value] { app.PrintCopiesScroll(value); });
        });
        return bar;
    }
    case PrintControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        if (name == "cmdPrint") button->setDefault(true);
        connect(button, &QPushButton::clicked, this,
                [act, &app, name] { act([&app, name] { app.PrintClick(name); }); });
        return button;
    }
    }
    return new QWidget(parent);
}

void PrintWindow::sync() {
    const core::PrintDialog& dialog = m_app.PrintState();
    control<QPushButton>("cmdPrint")->setEnabled(m_app.PrintAllowed());
    const std::uint64_t selection = m_app.SelectedFiles().revision();
    if (dialog.Revision() == m_shownRevision && selection == m_shownSelection) return;
    m_shownRevision = dialog.Revision();
    m_shownSelection = selection;

    auto* list = control<QListWidget>("lstFiles");
    {
        const QSignalBlocker block(list);
        list->clear();
        for (const std::string& name : dialog.Files()) list->addItem(PathText(name));
        list->setCurrentRow(dialog.ChosenFile());
    }
    auto* image = control<QLabel>("imgPreview");
    image->setPixmap(dialog.PreviewPicture().isNull()
                         ? QPixmap()
                         : QPixmap::fromImage(wrapImage(dialog.PreviewPicture())));
    image->setGeometry(ToPixelRect(dialog.PreviewBox(), m_tpp));
    control<QLabel>("lblFileName")->setText(PathText(dialog.PreviewName()));

    const auto fill = [](QComboBox* combo, const std::vector<std::string>& items, int index) {
        const QSignalBlocker block(combo);
        if (combo->count() != static_cast<int>(items.size())) {
            combo->clear();
            for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
        }
        combo->setCurrentIndex(index);
    };
    fill(control<QComboBox>("cmbPrinters"), dialog.PrinterItems(), dialog.PrinterIndex());
    fill(control<QComboBox>("cmbQuality"), core::PrintDialog::QualityItems(), dialog.QualityIndex());

    auto* copies = control<QLineEdit>("txtCopies");
    if (copies->text().toStdString() != dialog.CopiesText()) {
        const QSignalBlocker block(copies);
        copies->setText(QString::fromStdString(dialog.CopiesText()));
    }
    auto* bar = control<QScrollBar>("scbCopies");
    {
        const QSignalBlocker block(bar);
        bar->setValue(dialog.CopiesScroll());
    }
    auto* check = control<QCheckBox>("chkName");
    {
        const QSignalBlocker block(check);
        check->setChecked(dialog.PrintNames());
    }
}

void PrintWindow::closeEvent(QCloseEvent* event) {
    // The window's close button is Cancel: the dialog is hidden and keeps its choices.
    event->ignore();
    m_act([&app = m_app] { app.PrintClick("cmdCancel"); });
}

} // namespace vistrel::qt
