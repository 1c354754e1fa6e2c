#pragma once

// The console's SQL editor: QScintilla with MySQL's SQL colouring (comments
// green, numbers blue, strings red), a "Courier New"-compatible monospace
// font of 10 points, a line-number gutter of three digits, the current line
// tinted light blue, a grey selection and a tab width of 2.

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

namespace zomi {

class TSqlLexer : public QsciLexerSQL {
    Q_OBJECT

  public:
    explicit TSqlLexer(QObject* parent = nullptr);

    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;

    static QFont EditorFont();
};

class TSqlEditor : public QsciScintilla {
    Q_OBJECT

  public:
    explicit TSqlEditor(QWidget* parent = nullptr);

    static const QColor kCurrentLineColor;

    // Whether some text is selected now. QScintilla's own hasSelectedText()
    // keeps answering yes after typing has replaced a selection, until the
    // caret moves; the editor's selection itself says what is selected.
    bool HasSelection() const;
    // The text to run: the selection when there is one, else all of it, and
    // the editor line (from 0) that text starts on.
    QString TextToRun(int* firstLine) const;
    // Puts the caret at the start of the line (from 0) and selects that line.
    void SelectLine(int line);

  private:
    void applyColours();
    // Keys that the window's actions own are taken out of the editor's key map.
    void releaseWindowKeys();
};

}  // namespace zomi
