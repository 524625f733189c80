#include "app/about_box.h"

#include "db/book_database.h"
#include "widgets/window_geometry.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace app {

TAboutBox::TAboutBox(widgets::Seams& seams, double windowSizeFactor, QWidget* parent)
    : QDialog(parent), seams_(seams), windowSizeFactor_(windowSizeFactor) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* picture = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_DirHomeIcon);
    picture->setPixmap(icon.pixmap(48, 48));
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
