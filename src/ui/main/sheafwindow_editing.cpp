// Text editing commands of the page editor's pop-up menu, and the
// function-key bar that runs them and other commands.
#include "main/sheafwindow.h"

#include "common/inifile.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/sjis.h"
#include "editing/linecommands.h"
#include "main/pageeditor.h"
#include "settings/keyboardwindow.h"

#include <QPushButton>

namespace sheaf::ui {
namespace {

using Sci = QsciScintillaBase;

// The lines the selection touches (every selection of a box), and the rows
// of its first and last character.
struct Touched {
    int firstLine = 0;
    int lastLine = 0;
    bool oneRow = true;
    bool endsAtLineStart = false;
    bool box = false;
};

Touched touchedLines(PageEditor* e)
{
    Touched t;
    const long count = e->SendScintilla(Sci::SCI_GETSELECTIONS);
    long start = e->SendScintilla(Sci::SCI_GETSELECTIONNSTART, 0UL);
    long end = e->SendScintilla(Sci::SCI_GETSELECTIONNEND, 0UL);
    for (long i = 1; i < count; ++i) {
        start = std::min(start, e->SendScintilla(Sci::SCI_GETSELECTIONNSTART, static_cast<unsigned long>(i)));
        end = std::max(end, e->SendScintilla(Sci::SCI_GETSELECTIONNEND, static_cast<unsigned long>(i)));
    }
    t.box = e->SendScintilla(Sci::SCI_SELECTIONISRECTANGLE) != 0;
    t.firstLine = static_cast<int>(e->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)));
    t.lastLine = static_cast<int>(e->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end)));
    t.endsAtLineStart = !t.box && end > start && e->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(t.lastLine)) == end;
    // A wrapped line has several rows: the same row is the same line and height.
    const long y1 = e->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, start);
    const long y2 = e->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, end);
    t.oneRow = !t.box && t.firstLine == t.lastLine && y1 == y2;
    if (t.box)
        t.oneRow = t.firstLine == t.lastLine;
    return t;
}

std::vector<std::string> linesOf(PageEditor* e, int first, int last)
{
    std::vector<std::string> lines;
    for (int l = first; l <= last; ++l) {
        QString text = e->text(l);
        while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        lines.push_back(sj(text));
    }
    return lines;
}

// Replaces the lines first..last (without the last line's end) by text, as one undo step.
void replaceLines(PageEditor* e, int first, int last, const std::string& sjisText)
{
    const long from = e->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const long to = e->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last));
    const QByteArray utf8 = qs(sjisText).toUtf8();
    e->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    e->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
}

std::string joinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\r\n" : "") + lines[i];
    return out;
}

} // namespace

void TfrmSheaf::sortSelection(bool descending)
{
    m_editorText->setFocus();
    const Touched t = touchedLines(m_editorText);
    if (t.oneRow)
        return;
    m_editorText->beginUndoAction();
    replaceLines(m_editorText, t.firstLine, t.lastLine,
                 joinCrLf(editing::sortLines(linesOf(m_editorText, t.firstLine, t.lastLine), descending)));
    m_editorText->endUndoAction();
}

void TfrmSheaf::joinSelection(bool withSpace)
{
    m_editorText->setFocus();
    const Touched t = touchedLines(m_editorText);
    if (t.oneRow)
        return;
    const std::string joined = editing::joinLines(linesOf(m_editorText, t.firstLine, t.lastLine), withSpace ? " " : "");
    m_editorText->beginUndoAction();
    if (t.box) {
        // A box covers whole lines: they are what is joined.
        replaceLines(m_editorText, t.firstLine, t.lastLine, joined);
    } else {
        m_editorText->replaceSelectedBytes(joined);
    }
    m_editorText->endUndoAction();
}

void TfrmSheaf::caretToEnd(bool end)
{
    m_editorText->setFocus();
    const long position = end ? m_editorText->SendScintilla(Sci::SCI_GETLENGTH) : 0;
    m_editorText->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(position));
}

void TfrmSheaf::indentSelection(bool tab, bool insert)
{
    m_editorText->setFocus();
    const Touched t = touchedLines(m_editorText);
    // A selection that ends at the start of a line leaves that line alone.
    const int last = t.endsAtLineStart && t.lastLine > t.firstLine ? t.lastLine - 1 : t.lastLine;
    m_editorText->beginUndoAction();
    for (int line = t.firstLine; line <= last; ++line) {
        const long start = m_editorText->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        if (tab) {
            if (insert) {
                m_editorText->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(start), "\t");
            } else if (m_editorText->SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(start)) == '\t') {
                m_editorText->SendScintilla(Sci::SCI_DELETERANGE, static_cast<unsigned long>(start), 1L);
            }
        } else {
            const bool tabs = m_editorText->indentationsUseTabs();
            m_editorText->setIndentationsUseTabs(false);
            if (insert)
                m_editorText->indent(line);
            else
                m_editorText->unindent(line);
            m_editorText->setIndentationsUseTabs(tabs);
        }
    }
    m_editorText->endUndoAction();
    // The block stays selected, whole lines, so the command can be repeated.
    const long from = m_editorText->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(t.firstLine));
    const long to = last + 1 < m_editorText->lines()
                        ? m_editorText->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(last + 1))
                        : m_editorText->SendScintilla(Sci::SCI_GETLENGTH);
    m_editorText->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(from), to);
}

const std::vector<TfrmSheaf::FunctionCommand>& TfrmSheaf::functionCommands()
{
    static const std::vector<FunctionCommand> table{
        {"文頭へ", "キャレットを文頭に移動する", "actPop2StartPos"},
        {"文末へ", "キャレットを文末に移動する", "actPop2EndPos"},
        {"次検索", "次を検索する", "actSearchNext"},
        {"新ページ", "新しいページを作成する", "actEditAdd"},
        {"タブ除", "行頭の [Tab] を削除する", "actPop2IndentTabDelete"},
        {"タブ挿", "行頭に [Tab] を挿入する", "actPop2IndentTabInsert"},
        {"空白除", "行頭のスペースを削除する", "actPop2IndentSpaceDelete"},
        {"空白挿", "行頭にスペースを挿入する", "actPop2IndentSpaceInsert"},
        {"コピー", "選択領域をコピーする", "actEditCopy"},
        {"切取り", "選択領域を切り取る", "actEditCut"},
        {"貼付け", "クリップボードから貼り付ける", "actEditPaste"},
        {"全選択", "テキスト全体を選択状態にする", "actEditSelectAll"},
        {"ツリー閉", "開いているツリーノードを閉じる", "actPop1Collapse"},
        {"A - Z", "選択範囲を昇順でソートする", "actPop2Sort1"},
        {"Z - A", "選択範囲を降順でソートする", "actPop2Sort2"},
        {"Perl", "Perl を起動する", "actToolPerl"},
        {"エディタ", "テキストエディタを起動する", "actToolTextEditor"},
    };
    return table;
}

const std::vector<std::string>& TfrmSheaf::tagNames()
{
    static const std::vector<std::string> names{
        "<br",  "<body", "</body", "<pre",  "</pre",  "<p",    "</p",    "<h1",    "</h1",  "<h2",  "</h2", "<h3",
        "</h3", "<h4",   "</h4",   "<h5",   "</h5",   "<h6",   "</h6",   "<blockquote", "</blockquote", "<img src",
        "<a href", "</a", "<b",    "</b",   "<i",     "</i",   "<div",   "</div", "<table", "</table", "<th", "</th",
        "<tr",  "</tr",  "<td",    "</td",  "<ul",    "</ul",  "<ol",    "</ol",  "<li",    "</li",  "<dl",  "</dl",
        "<dt",  "</dt",  "<dd",    "</dd",  "<html",  "</html", "<head", "</head", "<title", "</title"};
    return names;
}

void TfrmSheaf::AssignFunctionKeys()
{
    for (int k = 0; k < 12; ++k)
        m_functionKeys[k] = k;
    const std::string value = IniFile(m_iniPath).readString("Customize", "FunctionKey", "0,1,2,3,4,5,6,7,8,9,10,11");
    std::size_t start = 0;
    // Items past the twelfth have no button; a bad item stops the assignment there.
    for (int k = 0; k < 12 && start <= value.size(); ++k) {
        const std::size_t comma = value.find(',', start);
        const std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        const long n = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || n < 0 || n >= static_cast<long>(functionCommands().size())) {
            showWarning(this, u8("ファンクションキーの設定 (FunctionKey) が正しくありません: ") + qs(item));
            break;
        }
        m_functionKeys[k] = static_cast<int>(n);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    for (int k = 0; k < 12; ++k)
        m_funcButtons[k]->setText(QStringLiteral("F%1 ").arg(k + 1) + u8(functionCommands()[static_cast<std::size_t>(m_functionKeys[k])].shortName));
}

void TfrmSheaf::runFunctionKey(int key, bool fromButton)
{
    QAction* command = action(QString::fromLatin1(functionCommands()[static_cast<std::size_t>(m_functionKeys[key])].action));
    try {
        if (command && command->isEnabled())
            command->trigger();
    } catch (const std::exception& e) {
        if (!fromButton)
            throw;
        showError(this, QStringLiteral("btnFuncKey1Click: ") + qs(e.what()));
    }
}

void TfrmSheaf::layoutFunctionKeys()
{
    const int mHeight = fontMetrics().height();
    const int w = (width() - 8) / 12;
    m_funcKeyPanel->setFixedHeight(action(QStringLiteral("actShowFuncKey"))->isChecked() ? mHeight + 15 : 0);
    int left = 2;
    for (int k = 0; k < 12; ++k) {
        if (k == 4 || k == 8)
            left += 4; // three groups of four
        m_funcButtons[k]->setGeometry(left, 4, w, mHeight + 11);
        left += w;
    }
}

void TfrmSheaf::actShowKeyboardExecute()
{
    auto* list = new TfrmKeyboard(this, m_iniPath);
    list->show();
}

} // namespace sheaf::ui
