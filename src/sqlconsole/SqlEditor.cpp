#include "sqlconsole/SqlEditor.h"

#include <Qsci/qscicommandset.h>

namespace zomi {

namespace {

constexpr int kGutterDigits = 3;
constexpr int kTabWidth = 2;

bool isComment(int style) {
    switch (style) {
        case QsciLexerSQL::Comment:
        case QsciLexerSQL::CommentLine:
        case QsciLexerSQL::CommentDoc:
        case QsciLexerSQL::CommentLineHash:
        case QsciLexerSQL::PlusComment:
        case QsciLexerSQL::CommentDocKeyword:
        case QsciLexerSQL::CommentDocKeywordError:
            return true;
        default:
            return false;
    }
}

}  // namespace

TSqlLexer::TSqlLexer(QObject* parent) : QsciLexerSQL(parent) {
    // MySQL's dialect: "#" comments, backquoted names, backslash escapes.
    setHashComments(true);
    setQuotedIdentifiers(true);
    setBackslashEscapes(true);
    setDefaultFont(EditorFont());
}

QFont TSqlLexer::EditorFont() {
    QFont font(QStringLiteral("Courier New"), 10);
    // Where Courier New is missing, its metric twin or another monospace one.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QColor TSqlLexer::defaultColor(int style) const {
    if (isComment(style)) return QColor(0, 128, 0);
    switch (style) {
        case Number:
            return QColor(0, 0, 255);
        case SingleQuotedString:
        case DoubleQuotedString:
            return QColor(255, 0, 0);
        case Keyword:
        case PlusKeyword:
            return QColor(0, 0, 128);
        default:
            return QColor(0, 0, 0);
    }
}

QFont TSqlLexer::defaultFont(int style) const {
    QFont font = EditorFont();
    font.setBold(style == Keyword);
    return font;
}

const QColor TSqlEditor::kCurrentLineColor(225, 240, 255);

TSqlEditor::TSqlEditor(QWidget* parent) : QsciScintilla(parent) {
    setObjectName(QStringLiteral("Memo1"));
    setUtf8(true);
    setLexer(new TSqlLexer(this));
    setTabWidth(kTabWidth);
    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginWidth(0, QString(kGutterDigits + 1, QLatin1Char('0')));
    setMarginWidth(1, 0);
    setCaretLineVisible(true);
    setBraceMatching(SloppyBraceMatch);
    // The horizontal scroll bar only for lines wider than the editor.
    setScrollWidth(1);
    setScrollWidthTracking(true);
    applyColours();
    releaseWindowKeys();
}

// Set after the lexer, which resets them.
void TSqlEditor::applyColours() {
    setMarginsFont(TSqlLexer::EditorFont());
    setCaretLineBackgroundColor(kCurrentLineColor);
    setSelectionBackgroundColor(QColor(128, 128, 128));
    setSelectionForegroundColor(QColor(255, 255, 255));
}

void TSqlEditor::releaseWindowKeys() {
    const QKeyCombination keys[] = {Qt::CTRL | Qt::Key_N,        Qt::CTRL | Qt::Key_O,
                                    Qt::CTRL | Qt::Key_S,        Qt::CTRL | Qt::Key_E,
                                    Qt::CTRL | Qt::Key_Return,   Qt::CTRL | Qt::Key_Enter,
                                    Qt::CTRL | Qt::Key_Tab,      QKeyCombination(Qt::Key_F3),
                                    QKeyCombination(Qt::Key_F5), QKeyCombination(Qt::Key_F9)};
    for (const QKeyCombination combination : keys) {
        const int key = combination.toCombined();
        if (QsciCommand* command = standardCommands()->boundTo(key)) {
            if (command->key() == key) command->setKey(0);
            if (command->alternateKey() == key) command->setAlternateKey(0);
        }
    }
}

bool TSqlEditor::HasSelection() const { return SendScintilla(SCI_GETSELECTIONEMPTY) == 0; }

QString TSqlEditor::TextToRun(int* firstLine) const {
    if (!HasSelection()) {
        *firstLine = 0;
        return text();
    }
    int lineTo = 0;
    int indexFrom = 0;
    int indexTo = 0;
    getSelection(firstLine, &indexFrom, &lineTo, &indexTo);
    return selectedText();
}

void TSqlEditor::SelectLine(int line) {
    QString content = text(line);
    while (content.endsWith(QLatin1Char('\n')) || content.endsWith(QLatin1Char('\r')))
        content.chop(1);
    const int end = static_cast<int>(content.size());
    setSelection(line, 0, line, end);
    ensureLineVisible(line);
}

}  // namespace zomi
