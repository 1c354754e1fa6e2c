#pragma once

// Reads a PDF back with poppler's command-line tools, independently of the
// code that wrote it: the words with their boxes (pdftotext -bbox), the page
// count (pdfinfo) and a page as a grey-scale image (pdftoppm).

#include <QFile>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace zomi::test {

struct PdfWord {
    int page = 0;  // from 1
    QString text;
    QRectF box;  // millimetres from the page's top-left corner
};

inline QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

inline QString Unescape(QString text) {
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

inline QList<PdfWord> ReadPdfWords(const QString& pdf) {
    const QString html = QString::fromUtf8(
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                              QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    constexpr double kMmPerPoint = 25.4 / 72.0;
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        PdfWord w;
        w.page = page;
        w.text = Unescape(m.captured(5));
        w.box = QRectF(
            QPointF(m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint),
            QPointF(m.captured(3).toDouble() * kMmPerPoint,
                    m.captured(4).toDouble() * kMmPerPoint));
        words << w;
    }
    return words;
}

inline int PdfPageCount(const QString& pdf) {
    const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {pdf}));
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The words in reading order: by page, then line by line (words whose tops
// lie within half a millimetre of each other share a line), left to right.
inline QList<PdfWord> InReadingOrder(QList<PdfWord> words) {
    std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return a.page != b.page ? a.page < b.page : a.box.top() < b.box.top();
    });
    QList<int> line(words.size());
    int current = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0 && (words.at(i).page != words.at(i - 1).page ||
                      words.at(i).box.top() - words.at(i - 1).box.top() > 0.5))
            ++current;
        line[i] = current;
    }
    QList<qsizetype> order(words.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return line[a] != line[b] ? line[a] < line[b]
                                  : words.at(a).box.left() < words.at(b).box.left();
    });
    QList<PdfWord> sorted;
    for (qsizetype i : order) sorted << words.at(i);
    return sorted;
}

// Every place where the phrase's words stand one after another on one line,
// each as the union of its words' boxes.
inline QList<PdfWord> FindPhrase(const QList<PdfWord>& unordered, const QString& phrase) {
    const QList<PdfWord> words = InReadingOrder(unordered);
    const QStringList parts = phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<PdfWord> found;
    if (parts.isEmpty()) return found;
    for (qsizetype i = 0; i + parts.size() <= words.size(); ++i) {
        bool same = true;
        for (qsizetype k = 0; k < parts.size() && same; ++k) {
            const PdfWord& w = words.at(i + k);
            same = w.text == parts.at(k) && w.page == words.at(i).page &&
                   std::abs(w.box.top() - words.at(i).box.top()) < 0.5;
        }
        if (!same) continue;
        PdfWord hit = words.at(i);
        hit.text = phrase;
        for (qsizetype k = 1; k < parts.size(); ++k) hit.box = hit.box.united(words.at(i + k).box);
        found << hit;
    }
    return found;
}

// The words whose boxes overlap the area, on the given page, in reading order.
inline QStringList WordsIn(const QList<PdfWord>& words, const QRectF& area, int page = 1) {
    QStringList inside;
    for (const PdfWord& w : InReadingOrder(words))
        if (w.page == page && w.box.intersects(area)) inside << w.text;
    return inside;
}

// A page as a grey-scale image at the resolution given in dots per inch.
inline QImage RenderPdfPage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
             QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace zomi::test
