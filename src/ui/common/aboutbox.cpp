#include "common/aboutbox.h"

#include "common/qtext.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace sheaf::ui {

QString CVerNumberText() { return QStringLiteral(SHEAF_VERSION); }

TfrmAboutBox::TfrmAboutBox(QWidget* parent, const QString& productName, const QString& comments) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAboutBox"));
    setWindowTitle(u8("バージョン情報"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    auto* panelLayout = new QHBoxLayout(panel);
    auto* icon = new QLabel(panel);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    panelLayout->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* product = new QLabel(productName, panel);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big(QStringLiteral("serif"));
    big.setPointSize(20);
    big.setBold(true);
    big.setItalic(true);
    product->setFont(big);
    auto* version = new QLabel(QStringLiteral("Ver.") + CVerNumberText(), panel);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* notes = new QPlainTextEdit(panel);
    notes->setReadOnly(true);
    notes->setFrameShape(QFrame::NoFrame);
    notes->setPlainText(u8("日本語のマニュアルやヘルプをページのツリーとして書き、HTML ページとヘルプファイルにまとめる道具です。"));
    notes->setMaximumHeight(60);
    auto* comment = new QLabel(comments, panel);
    comment->setObjectName(QStringLiteral("lblComments"));
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(notes);
    texts->addWidget(comment);
    panelLayout->addLayout(texts, 1);
    layout->addWidget(panel);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    resize(380, 240);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace sheaf::ui
