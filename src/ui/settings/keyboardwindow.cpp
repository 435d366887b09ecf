#include "settings/keyboardwindow.h"

#include "common/fonts.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/windowposition.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPushButton>

namespace sheaf::ui {

const std::vector<std::pair<const char*, const char*>>& TfrmKeyboard::rows()
{
    static const std::vector<std::pair<const char*, const char*>> table{
        {"[Ctrl] + S", "現在編集中のページを保存"},
        {"[Ctrl] + M", "現在の SHF3 ファイルを上書き保存"},
        {"", ""},
        {"[Alt] + ←", "項目を左に移動"},
        {"[Alt] + →", "項目を右に移動"},
        {"[Alt] + ↑", "項目を上に移動"},
        {"[Alt] + ↓", "項目を下に移動"},
        {"[Ctrl] + N", "項目を下に追加"},
        {"[Ctrl] + [Del]", "項目を削除"},
        {"", ""},
        {"[Ctrl] + C", "選択範囲をコピー"},
        {"[Ctrl] + X", "選択範囲を切り取り"},
        {"[Ctrl] + V", "貼り付け"},
        {"[Ctrl] + A", "すべてのテキストを選択状態に"},
        {"[Ctrl] + Z", "やり直し"},
        {"", ""},
        {"[Ctrl] + I", "行頭にスペースを挿入"},
        {"[Ctrl] + U", "行頭のスペースを削除"},
        {"[Ctrl] + [Alt] + I", "行頭に [Tab] を挿入"},
        {"[Ctrl] + [Alt] + U", "行頭の [Tab] を削除"},
        {"", ""},
        {"[Ctrl] + →", "現在のノードを開く"},
        {"[Ctrl] + ←", "現在のノードを閉じる"},
        {"[Ctrl] + T", "ツリーの検索"},
        {"[Ctrl] + R", "文字列の検索・置換"},
        {"", ""},
        {"[Ctrl] + H", "ヘルプを表示"},
    };
    return table;
}

TfrmKeyboard::TfrmKeyboard(QWidget* owner, std::string iniPath) : QWidget(owner, Qt::Window), m_iniPath(std::move(iniPath))
{
    setObjectName(QStringLiteral("frmKeyboard"));
    setWindowTitle(u8("キーボードのショートカット一覧"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    QFont f = makeFont(u8("ＭＳ Ｐゴシック"), 9);
    setFont(f);
    m_ok = new QPushButton(QStringLiteral("O K"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);
    CFormPosition(m_iniPath).ReadFormPosition(this, "FormPosition", "KeyboardForm", 100, 100, 400, 400);
}

TfrmKeyboard::~TfrmKeyboard() = default;

int TfrmKeyboard::lineHeight() const { return fontMetrics().height() + 2; }

void TfrmKeyboard::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int h = lineHeight();
    const int descriptionX = fontMetrics().horizontalAdvance(QStringLiteral("[Ctrl] + [Alt] + U")) + 20;
    int r = 0;
    for (const auto& [key, description] : rows()) {
        const int y = 10 + r * h + fontMetrics().ascent();
        p.drawText(10, y, u8(key));
        p.drawText(descriptionX, y, u8(description));
        ++r;
    }
}

void TfrmKeyboard::resizeEvent(QResizeEvent*)
{
    const int h = lineHeight();
    m_ok->move((width() - m_ok->width()) / 2, 28 * h);
    const int wanted = m_ok->geometry().bottom() + 10;
    if (height() != wanted)
        resize(width(), wanted);
}

void TfrmKeyboard::closeEvent(QCloseEvent* e)
{
    try {
        CFormPosition(m_iniPath).WriteFormPosition(this, "FormPosition", "KeyboardForm");
    } catch (const std::exception& ex) {
        showError(this, qs(ex.what()));
    }
    e->accept();
}

} // namespace sheaf::ui
