#include "app/about_box.h"

#include "db/book_database.h"
#include "widgets/window_geometry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

// The program's picture: a closed book seen from the front, drawn so that no image file is
// needed.
QPixmap bookPicture() {
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 20, 20), 1.5));
    painter.setBrush(QColor(240, 235, 220));
    painter.drawRect(QRectF(12, 8, 30, 36)); // the pages
    painter.setBrush(QColor(128, 24, 24));
    painter.drawRoundedRect(QRectF(6, 4, 32, 38), 2, 2); // the cover
    painter.setBrush(QColor(90, 12, 12));
    painter.drawRect(QRectF(6, 4, 6, 38)); // the spine
    painter.setPen(QPen(QColor(218, 180, 80), 2));
    painter.drawLine(QPointF(17, 14), QPointF(33, 14));
    painter.drawLine(QPointF(17, 19), QPointF(29, 19));
    return picture;
}

} // namespace

TAboutBox::TAboutBox(widgets::Seams& seams, double windowSizeFactor, QWidget* parent)
    : QDialog(parent), seams_(seams), windowSizeFactor_(windowSizeFactor) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* picture = new QLabel(this);
    picture->setPixmap(bookPicture());
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    productName_ = new QLabel(this);
    version_ = new QLabel(this);
    for (QLabel* label : {productName_, version_}) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }
    okButton_ = new QPushButton(QStringLiteral("&Ok"), this);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(productName_);
    text->addWidget(version_);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(okButton_);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(300, 150);
}

void TAboutBox::showEvent(QShowEvent* event) {
    if (!scaled_) {
        scaled_ = true;
        widgets::scaleAndCentre(*this, windowSizeFactor_, seams_.screen.size());
        setFixedSize(size()); // a dialog frame: not resizable
        productName_->setText(QString::fromLatin1(db::kProgramTitle));
        version_->setText(QString::fromLatin1(kProgramVersion));
    }
    QDialog::showEvent(event);
}

void showAboutBox(QWidget* parent, widgets::Seams& seams, double windowSizeFactor) {
    TAboutBox about(seams, windowSizeFactor, parent);
    about.exec();
}

} // namespace app
