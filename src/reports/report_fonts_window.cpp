#include "reports/report_fonts_window.h"

#include "reports/report_designer_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace reports {

QFont fontOfSlot(const FontSlot& slot) {
    QFont font(slot.name);
    font.setPointSize(slot.size > 0 ? slot.size : 8);
    font.setBold(slot.bold);
    font.setItalic(slot.italic);
    font.setUnderline(slot.underline);
    font.setStrikeOut(slot.strikeOut);
    return font;
}

void setSlotFromFont(FontSlot& slot, const QFont& font) {
    slot.name = font.family().left(50);
    const int points = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    slot.size = std::clamp(points, 1, 200);
    slot.bold = font.bold();
    slot.italic = font.italic();
    slot.underline = font.underline();
    slot.strikeOut = font.strikeOut();
}

TReportFonts::TReportFonts(QWidget* parent, const widgets::Seams& seams,
                           ReportDefinition& definition)
    : QDialog(parent), seams_(seams), definition_(definition) {
    setObjectName(QStringLiteral("TReportFonts"));
    setWindowTitle(QStringLiteral("Report Fonts"));
    struct Caption {
        FontSlotId slot;
        const char* text;
        const char* name;
    };
    const std::array<Caption, 4> captions{{
        {FontSlotId::Title, "Titles Font", "TitleFont"},
        {FontSlotId::ColumnHeader, "Column Header Font", "ColumnHeaderFont"},
        {FontSlotId::Body, "Report Body Font", "BodyFont"},
        {FontSlotId::Footnote, "Footnote Font", "FootnoteFont"},
    }};
    auto* grid = new QGridLayout(this);
    for (size_t i = 0; i < captions.size(); ++i) {
        const int row = static_cast<int>(i) * 2;
        grid->addWidget(new QLabel(QString::fromLatin1(captions[i].text), this), row, 0, 1, 2);
        auto* edit = new QLineEdit(fontSlotText(definition_.font(captions[i].slot)), this);
        edit->setObjectName(QString::fromLatin1(captions[i].name));
        edit->setReadOnly(true);
        grid->addWidget(edit, row + 1, 0);
        auto* button = new QPushButton(QStringLiteral("New Font"), this);
        button->setObjectName(QString::fromLatin1(captions[i].name) + QStringLiteral("Button"));
        grid->addWidget(button, row + 1, 1);
        const FontSlotId slot = captions[i].slot;
        connect(button, &QPushButton::clicked, this, [this, slot] { newFontClick(slot); });
        rows_[i] = {slot, edit};
    }
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(ok, 8, 1);
    grid->setColumnStretch(0, 1);
    resize(360, 260);
    design_.record(*this, seams_.messages);
}

QLineEdit* TReportFonts::fontEdit(FontSlotId slot) const {
    for (const Row& row : rows_)
        if (row.slot == slot)
            return row.edit;
    return nullptr;
}

void TReportFonts::newFontClick(FontSlotId slot) {
    FontSlot& target = definition_.font(slot);
    const auto chosen = seams_.fonts.chooseFont(this, fontOfSlot(target));
    if (!chosen)
        return;
    setSlotFromFont(target, *chosen);
    fontEdit(slot)->setText(fontSlotText(target));
}

} // namespace reports
