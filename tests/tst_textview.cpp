// SPDX-License-Identifier: MIT
// The quotations area as a read-only multi-line text box: rows wrapped at
// the width and cut into pieces that are found from any position, the
// caret and selection under the keys and the mouse, copying, and scrolling.
#include "Accessibility.h"
#include "ReadOnlyTextView.h"

#include <QAccessible>

#include <QApplication>
#include <QClipboard>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using sayvane::ReadOnlyTextView;
using sayvane::RowLayout;
using sayvane::TextPieces;

namespace {

// Four paragraphs, each on one row: "alpha beta gamma" (0 to 16), "delta
// epsilon" (18 to 31), an empty one (33), "zeta" (35 to 39).
const QString kParagraphs = QStringLiteral("alpha beta gamma\r\ndelta epsilon\r\n\r\nzeta");

void prepare(ReadOnlyTextView &view, const QString &family = QStringLiteral("Liberation Mono"))
{
    QFont font(family);
    font.setPixelSize(13);
    view.setFont(font);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setFrameStyle(QFrame::NoFrame);
    view.resize(329, 321);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // Without a window manager no window is activated on its own.
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
}

// Every row from the first to the last, as [start, end) of the text.
QList<std::pair<qsizetype, qsizetype>> rowsForward(const RowLayout &text)
{
    QList<std::pair<qsizetype, qsizetype>> rows;
    for (std::optional<RowLayout::Row> row = text.rowAt(0); row; row = text.nextRow(*row))
        rows.append({text.rowStart(*row), text.rowEnd(*row)});
    return rows;
}

QList<std::pair<qsizetype, qsizetype>> rowsBackward(const RowLayout &text)
{
    QList<std::pair<qsizetype, qsizetype>> rows;
    for (std::optional<RowLayout::Row> row = text.lastRow(); row; row = text.previousRow(*row))
        rows.prepend({text.rowStart(*row), text.rowEnd(*row)});
    return rows;
}

void press(QWidget *widget, const QString &keys)
{
    for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(widget, combination.key(), combination.keyboardModifiers());
    }
}

QImage pictureWithoutCaret(ReadOnlyTextView &view)
{
    view.clearFocus();
    return view.viewport()->grab().toImage();
}

// The pixels where the view differs from a picture of it without a caret:
// their count, and whether all lie in one column at x (give or take one).
std::pair<int, bool> caretPixels(ReadOnlyTextView &view, const QImage &withoutCaret, int x)
{
    const QImage image = view.viewport()->grab().toImage();
    int count = 0;
    bool inColumn = true;
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            if (image.pixel(column, row) != withoutCaret.pixel(column, row)) {
                ++count;
                inColumn = inColumn && qAbs(column - x) <= 1;
            }
        }
    }
    return {count, inColumn};
}

// The entry of a menu with this text.
QAction *menuEntry(QMenu *menu, const char *text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == QLatin1String(text))
            return action;
    }
    qFatal("no menu entry %s", text);
}

// The rows Qt's own text document lays a paragraph out in, at the width
// and font of the view, as [start, end): the wrapping a user knows from
// every other text box of the desktop.
QList<std::pair<qsizetype, qsizetype>> rowsOfTextDocument(const QString &paragraph, const QFont &font, int width)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    document.setPlainText(paragraph);
    document.setTextWidth(width);
    document.documentLayout()->documentSize(); // lays the document out
    const QTextLayout *layout = document.firstBlock().layout();
    QList<std::pair<qsizetype, qsizetype>> rows;
    for (int i = 0; i < layout->lineCount(); ++i)
        rows.append({layout->lineAt(i).textStart(), layout->lineAt(i).textStart() + layout->lineAt(i).textLength()});
    return rows;
}

// Words of many kinds, with spaces and tabs between them, `length` long.
QString paragraphOfWords(qsizetype length, quint32 seed)
{
    static const char *const words[] = {"wisdom",
                                        "begins",
                                        "in",
                                        "wonder",
                                        "a",
                                        "Ærøskøbing",
                                        "1,000.5",
                                        "(quote)",
                                        "co-operate",
                                        "don't",
                                        "—",
                                        "naïve",
                                        "supercalifragilisticexpialidocious"};
    QRandomGenerator random(seed);
    QString text;
    while (text.size() < length) {
        text += QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
        text += random.bounded(10) ? u' ' : u'\t';
    }
    return text.first(length);
}

} // namespace

class TextViewTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsParagraphs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("shown lines") << "\r\nA\r\n\r\nB\r\n" << 5;
        QTest::newRow("lone CR and lone LF are no breaks") << "a\rb\nc" << 1;
        QTest::newRow("LF CR is no break") << "a\n\rb" << 1;
        QTest::newRow("CR CR LF is one break") << "a\r\r\nb" << 2;
        QTest::newRow("break at the end") << "a\r\n" << 2;
    }

    void splitsParagraphs()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(text);
        QCOMPARE(rowsForward(view.rows()).size(), rows);
        QCOMPARE(view.toPlainText(), text);
    }

    void wrapsAtWordBoundaries()
    {
        ReadOnlyTextView view;
        prepare(view, QStringLiteral("Liberation Sans"));
        QString longLine;
        for (int i = 0; i < 40; ++i)
            longLine += QStringLiteral("wisdom ");
        view.setPlainText(QStringLiteral("short\r\n") + longLine + QStringLiteral("\r\n") + QString(500, u'x'));
        const RowLayout &text = view.rows();
        const auto rows = rowsForward(text);
        QVERIFY2(rows.size() >= 1 + 4 + 4, "the long line and the long word both wrap");
        for (const auto &[start, end] : rows) {
            if (end < 7 + longLine.size() && start > 6)
                QCOMPARE(text.text().sliced(start, end - start).right(7), QStringLiteral("wisdom "));
        }
        QVERIFY(!view.horizontalScrollBar()->isVisible());
    }

    // However a text is cut into pieces, the rows met walking forward and
    // walking backward are the same, they cover the text without a gap, and
    // every position lies on the row that rowAt names.
    void cutsLongParagraphsConsistently_data()
    {
        QTest::addColumn<QString>("text");
        QString words;
        for (int i = 0; words.size() < 20'000; ++i)
            words += QStringLiteral("word%1 ").arg(i % 97);
        QTest::newRow("words") << words;
        QTest::newRow("no spaces at all") << QString(13'000, u'x');
        QTest::newRow("tabs only") << QString(12'000, u'\t');
        QTest::newRow("soft hyphens, which take no width") << QString(150'000, QChar(0xAD));
        QTest::newRow("exactly one piece") << QString(TextPieces::kPieceLength, u'y');
        QTest::newRow("one more than a piece") << QString(TextPieces::kPieceLength + 1, u'y');
        QString breaksAtCuts;
        for (int i = 1; i <= 4; ++i)
            breaksAtCuts += QString(TextPieces::kPieceLength - (i == 1 ? 0 : 2), u'z') + QStringLiteral("\r\n");
        QTest::newRow("breaks on the cut points") << breaksAtCuts;
        QString pairs;
        while (pairs.size() < 10'000)
            pairs += QString::fromUtf8("😀");
        QTest::newRow("surrogate pairs across the cuts") << QStringLiteral("a") + pairs;
        QString mixed;
        QRandomGenerator random(11);
        while (mixed.size() < 30'000)
            mixed += QString(qsizetype(random.bounded(1, 9000)), u"ab \t"[random.bounded(4)]) +
                     (random.bounded(3) ? QStringLiteral("\r\n") : QStringLiteral("\n"));
        QTest::newRow("mixed paragraphs") << mixed;
    }

    void cutsLongParagraphsConsistently()
    {
        QFETCH(QString, text);
        ReadOnlyTextView view;
        prepare(view, QStringLiteral("Liberation Sans"));
        view.setPlainText(text);
        const RowLayout &wrapped = view.rows();
        const auto forward = rowsForward(wrapped);
        QCOMPARE(rowsBackward(wrapped), forward);
        for (qsizetype i = 1; i < forward.size(); ++i) {
            const qsizetype gapStart = forward[i - 1].second;
            const QString between = text.sliced(gapStart, forward[i].first - gapStart);
            QVERIFY2(between.isEmpty() || between == u"\r\n", "rows meet, or a paragraph break stands between them");
            QVERIFY2(forward[i].second - forward[i].first <= RowLayout::kLongestRow, "no row outruns the longest");
        }
        QCOMPARE(forward.last().second, text.size());
        for (qsizetype position = 0; position <= text.size(); position += 37) {
            const RowLayout::Row row = wrapped.rowAt(position);
            const qsizetype at = wrapped.normalized(position);
            QVERIFY(wrapped.rowStart(row) <= at && at <= wrapped.rowEnd(row));
        }
    }

    // The cuts come from the characters alone, with no font: walking the
    // pieces forward and backward meets the same ones, each holds no
    // break and at most a piece's length, and the piece found for any
    // position holds it.
    void cutsPiecesWithoutAFont_data() { cutsLongParagraphsConsistently_data(); }

    void cutsPiecesWithoutAFont()
    {
        QFETCH(QString, text);
        TextPieces pieces;
        pieces.setText(text);
        QList<TextPieces::Piece> forward, backward;
        // The piece after one, and the one before, found from a position.
        const auto nextPiece = [&pieces](const TextPieces::Piece &piece) -> std::optional<TextPieces::Piece> {
            if (piece.end >= pieces.length())
                return std::nullopt;
            return pieces.pieceAt(pieces.isBreakAt(piece.end) ? piece.end + TextPieces::kBreakLength : piece.end);
        };
        const auto previousPiece = [&pieces](const TextPieces::Piece &piece) -> std::optional<TextPieces::Piece> {
            if (piece.start == 0)
                return std::nullopt;
            return pieces.pieceAt(pieces.isAfterBreak(piece.start) ? piece.start - TextPieces::kBreakLength
                                                                   : piece.start - 1);
        };
        for (std::optional<TextPieces::Piece> piece = pieces.pieceAt(0); piece; piece = nextPiece(*piece))
            forward.append(*piece);
        for (std::optional<TextPieces::Piece> piece = pieces.pieceAt(text.size()); piece; piece = previousPiece(*piece))
            backward.prepend(*piece);
        QCOMPARE(backward, forward);
        QCOMPARE(forward.first().start, 0);
        QCOMPARE(forward.last().end, text.size());
        for (qsizetype i = 0; i < forward.size(); ++i) {
            const QString inside = pieces.textOf(forward[i]);
            QVERIFY2(!inside.contains(QStringLiteral("\r\n")), "a piece holds no break");
            QVERIFY2(inside.size() <= TextPieces::kLongestPiece, "no piece is longer than the longest");
            if (i > 0) {
                const QString between = text.sliced(forward[i - 1].end, forward[i].start - forward[i - 1].end);
                QVERIFY2(between.isEmpty() || between == u"\r\n",
                         "pieces meet, or a paragraph break stands between them");
            }
        }
        for (qsizetype position = 0; position <= text.size(); position += 37) {
            const TextPieces::Piece piece = pieces.pieceAt(position);
            const qsizetype at = pieces.normalized(position);
            QVERIFY(piece.start <= at && at <= piece.end);
        }
    }

    void movesTheCaretWithTheKeys_data()
    {
        QTest::addColumn<QString>("setUp"); // keys pressed first
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qsizetype>("caret");
        QTest::addColumn<qsizetype>("anchor");
        QTest::newRow("Right") << ""
                               << "Right" << qsizetype(1) << qsizetype(1);
        QTest::newRow("Left at the start") << ""
                                           << "Left" << qsizetype(0) << qsizetype(0);
        QTest::newRow("Right over a break") << "End"
                                            << "Right" << qsizetype(18) << qsizetype(18);
        QTest::newRow("Left over a break") << "Down Home"
                                           << "Left" << qsizetype(16) << qsizetype(16);
        QTest::newRow("Ctrl+Right") << ""
                                    << "Ctrl+Right Ctrl+Right" << qsizetype(11) << qsizetype(11);
        QTest::newRow("Ctrl+Left") << "End"
                                   << "Ctrl+Left" << qsizetype(11) << qsizetype(11);
        QTest::newRow("End and Home") << "Right Right"
                                      << "End" << qsizetype(16) << qsizetype(16);
        QTest::newRow("Home") << "End"
                              << "Home" << qsizetype(0) << qsizetype(0);
        QTest::newRow("Down keeps the column") << "Right Right Right"
                                               << "Down" << qsizetype(21) << qsizetype(21);
        QTest::newRow("through an empty row") << "Right Right Right"
                                              << "Down Down Down" << qsizetype(38) << qsizetype(38);
        QTest::newRow("Up from the first row") << "Right"
                                               << "Up" << qsizetype(1) << qsizetype(1);
        QTest::newRow("Down from the last row") << "Ctrl+End"
                                                << "Down" << qsizetype(39) << qsizetype(39);
        QTest::newRow("Ctrl+End") << ""
                                  << "Ctrl+End" << qsizetype(39) << qsizetype(39);
        QTest::newRow("Ctrl+Home") << "Ctrl+End"
                                   << "Ctrl+Home" << qsizetype(0) << qsizetype(0);
        QTest::newRow("PageDown") << "Right"
                                  << "PgDown" << qsizetype(36) << qsizetype(36);
        QTest::newRow("PageUp") << "Ctrl+End"
                                << "PgUp" << qsizetype(4) << qsizetype(4);
        QTest::newRow("Shift+Right") << ""
                                     << "Shift+Right Shift+Right" << qsizetype(2) << qsizetype(0);
        QTest::newRow("Shift+Left") << "End"
                                    << "Shift+Left" << qsizetype(15) << qsizetype(16);
        QTest::newRow("Shift+Down") << "Right"
                                    << "Shift+Down" << qsizetype(19) << qsizetype(1);
        QTest::newRow("Shift+End") << "Right"
                                   << "Shift+End" << qsizetype(16) << qsizetype(1);
        QTest::newRow("Ctrl+Shift+Right") << ""
                                          << "Ctrl+Shift+Right" << qsizetype(6) << qsizetype(0);
        QTest::newRow("Ctrl+Shift+Left") << "End"
                                         << "Ctrl+Shift+Left" << qsizetype(11) << qsizetype(16);
        QTest::newRow("Ctrl+Shift+End") << "Down"
                                        << "Ctrl+Shift+End" << qsizetype(39) << qsizetype(18);
        QTest::newRow("Left ends a selection at its start") << "Right Shift+Right Shift+Right"
                                                            << "Left" << qsizetype(1) << qsizetype(1);
        QTest::newRow("Right ends a selection at its end") << "Right Right Right Shift+Left Shift+Left"
                                                           << "Right" << qsizetype(3) << qsizetype(3);
        QTest::newRow("Ctrl+A") << "Right"
                                << "Ctrl+A" << qsizetype(39) << qsizetype(0);
    }

    void movesTheCaretWithTheKeys()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, keys);
        QFETCH(qsizetype, caret);
        QFETCH(qsizetype, anchor);
        ReadOnlyTextView view;
        prepare(view);
        view.resize(329, 4 * view.fontMetrics().lineSpacing() + 8); // four rows in view
        view.setPlainText(kParagraphs);
        view.setFocus();
        press(&view, setUp);
        press(&view, keys);
        QCOMPARE(view.caretPosition(), caret);
        QCOMPARE(view.selectionRange(), std::pair(std::min(caret, anchor), std::max(caret, anchor)));
        QCOMPARE(view.toPlainText(), kParagraphs);
    }

    // Typing, pasting, cutting and deleting change nothing.
    void staysReadOnly()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        view.setFocus();
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        press(&view, "Shift+Right Shift+Right");
        QTest::keyClicks(&view, "typed");
        press(&view, "Backspace Delete Ctrl+V Ctrl+X Shift+Insert Shift+Delete Return Ctrl+Z");
        QCOMPARE(view.toPlainText(), kParagraphs);
    }

    void placesAndExtendsWithTheMouse()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        const auto pointOf = [&view](qsizetype position) { return view.characterRect(position).center(); };
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, pointOf(2));
        QVERIFY(view.hasFocus());
        QCOMPARE(view.caretPosition(), 2);
        QCOMPARE(view.selectionRange(), std::pair(qsizetype(2), qsizetype(2)));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, pointOf(20));
        QCOMPARE(view.selectionRange(), std::pair(qsizetype(2), qsizetype(20)));
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, pointOf(8));
        QCOMPARE(view.selectedText(), QStringLiteral("beta"));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, pointOf(0));
        QTest::mouseMove(view.viewport(), pointOf(22));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, pointOf(22));
        QCOMPARE(view.selectedText(), QStringLiteral("alpha beta gamma\ndelt"));
    }

    void copiesTheSelection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+C") << "Ctrl+C";
        QTest::newRow("Ctrl+Insert") << "Ctrl+Ins";
        QTest::newRow("context menu") << "menu";
    }

    void copiesTheSelection()
    {
        QFETCH(QString, how);
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        view.setFocus();
        press(&view, "Shift+Down Shift+End");
        QApplication::clipboard()->clear();
        if (how == "menu") {
            QTimer::singleShot(0, [] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu);
                menuEntry(menu, "&Copy")->trigger();
                menu->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(10, 10), view.mapToGlobal(QPoint(10, 10)));
            QApplication::sendEvent(view.viewport(), &event);
        } else {
            press(&view, how);
        }
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("alpha beta gamma\ndelta epsilon"));
    }

    // A selection made with the mouse is offered to other programs as the
    // primary selection, its text built only when one asks for it; a new
    // text takes it back.
    // Each way of selecting makes the selection the primary selection,
    // offered as plain text with one LF a paragraph break.
    void offersTheSelectionOnRequest_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("selected");
        QTest::newRow("a drag") << "drag" << "beta gamma\ndelta e";
        QTest::newRow("a double-click") << "double-click" << "gamma";
        QTest::newRow("Shift and the arrows") << "keys" << "alpha beta gamma\nd";
        QTest::newRow("Ctrl+A") << "ctrl+a" << "alpha beta gamma\ndelta epsilon\n\nzeta";
    }

    void offersTheSelectionOnRequest()
    {
        QFETCH(QString, how);
        QFETCH(QString, selected);
        QClipboard *clipboard = QApplication::clipboard();
        if (!clipboard->supportsSelection())
            QSKIP("no primary selection on this platform; tst_textview_primary_selection runs this under X");
        clipboard->setText(QStringLiteral("before"), QClipboard::Selection);
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        view.setFocus();
        const auto pointOf = [&view](qsizetype position) { return view.characterRect(position).center(); };
        if (how == u"drag") {
            QTest::mousePress(view.viewport(), Qt::LeftButton, {}, pointOf(6));
            QTest::mouseMove(view.viewport(), pointOf(25));
            QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, pointOf(25));
        } else if (how == u"double-click") {
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, pointOf(13));
        } else if (how == u"keys") {
            QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
            QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        } else {
            QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        }
        const QMimeData *offered = clipboard->mimeData(QClipboard::Selection);
        QVERIFY(offered);
        QCOMPARE(offered->formats(), QStringList{"text/plain"});
        QCOMPARE(view.selectedText(), selected);
        QCOMPARE(clipboard->text(QClipboard::Selection), selected);
        view.setPlainText(QStringLiteral("another text"));
        QCOMPARE(clipboard->text(QClipboard::Selection), QString());
    }

    void selectsAllFromTheContextMenu()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QVERIFY(!menuEntry(menu, "&Copy")->isEnabled()); // nothing to copy yet
            menuEntry(menu, "Select &All")->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), view.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(view.viewport(), &event);
        QCOMPARE(view.selectionRange(), std::pair(qsizetype(0), kParagraphs.size()));
    }

    void scrollsByRowsWithTheWheel()
    {
        ReadOnlyTextView view;
        prepare(view);
        QString text;
        for (int i = 0; i < 100; ++i)
            text += QStringLiteral("row %1\r\n").arg(i);
        view.setPlainText(text);
        const RowLayout &wrapped = view.rows();
        QWheelEvent down(QPointF(20, 20), view.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &down);
        QCOMPARE(view.topPosition(),
                 wrapped.rowStart(wrapped.movedBy(wrapped.rowAt(0), QApplication::wheelScrollLines())));
    }

    // The caret shows where it is while the area has the focus, keeps its
    // place when the focus leaves and comes back, and goes to the start
    // when a new text is set.
    void showsTheCaret()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        const QImage withoutCaret = pictureWithoutCaret(view);
        const QRect character = view.characterRect(8);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, character.center() - QPoint(character.width() / 2, 0));
        QCOMPARE(view.caretPosition(), 8);
        const int rowHeight = view.fontMetrics().lineSpacing();
        auto [count, inColumn] = caretPixels(view, withoutCaret, character.left());
        QVERIFY2(count >= rowHeight - 4 && inColumn, "a caret one pixel wide, as high as the row");

        QWidget other;
        other.show();
        other.activateWindow();
        other.setFocus();
        QTRY_VERIFY(!view.hasFocus());
        QCOMPARE(caretPixels(view, withoutCaret, character.left()).first, 0);

        view.activateWindow();
        view.setFocus();
        QTRY_VERIFY(view.hasFocus());
        QCOMPARE(view.caretPosition(), 8);
        std::tie(count, inColumn) = caretPixels(view, withoutCaret, character.left());
        QVERIFY(count >= rowHeight - 4 && inColumn);

        view.setPlainText(QStringLiteral("new text"));
        QCOMPARE(view.caretPosition(), 0);
    }

    // A selection paints the background of exactly its characters, row by
    // row: from "beta" to the end of the first row, then "delta " on the
    // second, and nothing on the rows after.
    void paintsTheSelectionOverItsCharacters()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        view.select(6, 24);
        const QImage image = view.viewport()->grab().toImage();
        const QSet<QRgb> highlight{view.palette().color(QPalette::Active, QPalette::Highlight).rgb(),
                                   view.palette().color(QPalette::Inactive, QPalette::Highlight).rgb()};
        // The first and last highlighted column of each row, or (-1, -1).
        const auto highlighted = [&](int rowTop, int rowBottom) {
            std::pair<int, int> columns{-1, -1};
            for (int x = 0; x < image.width(); ++x)
                for (int y = rowTop; y <= rowBottom; ++y)
                    if (highlight.contains(image.pixel(x, y))) {
                        columns = {columns.first < 0 ? x : columns.first, x};
                        break;
                    }
            return columns;
        };
        const QRect beta = view.characterRect(6), gammaEnd = view.characterRect(15);
        const QRect delta = view.characterRect(18), space = view.characterRect(23);
        const auto [firstFrom, firstTo] = highlighted(beta.top() + 1, beta.bottom() - 1);
        QVERIFY(std::abs(firstFrom - beta.left()) <= 1);
        QVERIFY(std::abs(firstTo - gammaEnd.right()) <= 1);
        const auto [secondFrom, secondTo] = highlighted(delta.top() + 1, delta.bottom() - 1);
        QVERIFY(std::abs(secondFrom - delta.left()) <= 1);
        QVERIFY(std::abs(secondTo - space.right()) <= 1);
        const QRect zeta = view.characterRect(35);
        QCOMPARE(highlighted(delta.bottom() + 2, zeta.bottom()), (std::pair{-1, -1}));
    }

    void blinks()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        const QImage withoutCaret = pictureWithoutCaret(view);
        view.setFocus();
        press(&view, "Right Right Right Right Right");
        const int x = view.characterRect(5).left();
        const auto caretShown = [&] { return caretPixels(view, withoutCaret, x).first > 5; };
        QVERIFY(caretShown());
        QTRY_VERIFY_WITH_TIMEOUT(!caretShown(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(caretShown(), 2000);
    }

    // The view follows the caret through a text of 100,000 lines.
    // A screen reader's request on a text of millions of characters in one
    // paragraph is answered from the stretch around its offset.
    void answersAScreenReaderInBoundedStretches_data()
    {
        QTest::addColumn<int>("boundary"); // a QAccessible::TextBoundaryType, or -1 for the plain text
        QTest::addColumn<qsizetype>("longest");
        QTest::newRow("character") << int(QAccessible::CharBoundary) << qsizetype(1);
        QTest::newRow("word") << int(QAccessible::WordBoundary) << TextPieces::kLongestPiece;
        QTest::newRow("sentence") << int(QAccessible::SentenceBoundary) << TextPieces::kLongestPiece;
        QTest::newRow("paragraph") << int(QAccessible::ParagraphBoundary) << TextPieces::kLongestPiece;
        // One answer carries at most 1 Mi characters.
        QTest::newRow("the whole text") << int(QAccessible::NoBoundary) << qsizetype(1'048'576);
        QTest::newRow("a range of everything") << -1 << qsizetype(1'048'576);
    }

    void answersAScreenReaderInBoundedStretches()
    {
        QFETCH(int, boundary);
        QFETCH(qsizetype, longest);
        QString line;
        while (line.size() < 3'000'000)
            line += QStringLiteral("wisdom begins in wonder ");
        sayvane::ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(line);
        QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&view)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), line.size());
        const int offset = 1'500'001;
        int start = -1, end = -1;
        const QString answer = boundary < 0
                                   ? text->text(0, INT_MAX)
                                   : text->textAtOffset(offset, QAccessible::TextBoundaryType(boundary), &start, &end);
        QVERIFY(!answer.isEmpty());
        QVERIFY(answer.size() <= longest);
        if (boundary == QAccessible::NoBoundary || boundary < 0)
            QCOMPARE(answer, line.first(longest));
        if (boundary >= 0) {
            QVERIFY(boundary == QAccessible::NoBoundary || (start <= offset && offset < end));
            QCOMPARE(answer, line.sliced(start, end - start));
        }
    }

    // A paragraph wraps exactly as Qt's text document wraps it, however
    // many pieces it is laid out in.
    void wrapsAParagraphWhole_data()
    {
        QTest::addColumn<qsizetype>("length");
        for (qsizetype length : {10, 100, 1000, 4095, 4096, 4097, 12'000, 40'000, 65'536})
            QTest::addRow("%lld characters", qlonglong(length)) << length;
    }

    void wrapsAParagraphWhole()
    {
        QFETCH(qsizetype, length);
        ReadOnlyTextView view;
        prepare(view, QStringLiteral("Liberation Sans"));
        const QString paragraph = paragraphOfWords(length, quint32(length));
        view.setPlainText(QStringLiteral("before\r\n") + paragraph + QStringLiteral("\r\nafter"));
        const QList<std::pair<qsizetype, qsizetype>> expected =
            rowsOfTextDocument(paragraph, view.font(), view.rows().width());
        QList<std::pair<qsizetype, qsizetype>> rows = rowsForward(view.rows());
        QCOMPARE(rows.size(), expected.size() + 2);
        rows = rows.sliced(1, expected.size());
        for (auto &[start, end] : rows) {
            start -= 8;
            end -= 8;
        }
        QCOMPARE(rows, expected);
        QCOMPARE(rowsBackward(view.rows()).sliced(1, expected.size()).size(), expected.size());
    }

    // A lone LF or CR is an ordinary character of its row: one step of the
    // caret, no row break, copied and read as it stands.
    void treatsALoneLineFeedAsACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qsizetype>("caret");
        QTest::addColumn<QString>("copied");
        const QString lf = QStringLiteral("first half\nsecond half");
        const QString cr = QStringLiteral("first half\rsecond half");
        QTest::newRow("LF: one row, End goes past it") << lf << "End" << qsizetype(22) << "";
        QTest::newRow("LF: Right steps over it once") << lf << "Ctrl+Right Ctrl+Right Right" << qsizetype(12) << "";
        QTest::newRow("LF: a word ends before it") << lf << "Ctrl+Right Ctrl+Right" << qsizetype(11) << "";
        QTest::newRow("LF: copied as it stands") << lf << "Ctrl+A Ctrl+C" << qsizetype(22) << lf;
        QTest::newRow("CR: copied as it stands") << cr << "Ctrl+A Ctrl+C" << qsizetype(22) << cr;
        QTest::newRow("CR LF: copied as one LF")
            << QStringLiteral("a\r\nb") << "Ctrl+A Ctrl+C" << qsizetype(4) << QStringLiteral("a\nb");
    }

    void treatsALoneLineFeedAsACharacter()
    {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(qsizetype, caret);
        QFETCH(QString, copied);
        ReadOnlyTextView view;
        prepare(view, QStringLiteral("Liberation Sans"));
        view.setPlainText(text);
        view.setFocus();
        QApplication::clipboard()->clear();
        press(&view, keys);
        QCOMPARE(view.caretPosition(), caret);
        if (!copied.isEmpty())
            QCOMPARE(QApplication::clipboard()->text(), copied);
        if (!text.contains(QStringLiteral("\r\n"))) {
            QCOMPARE(rowsForward(view.rows()).size(), 1);
            QAccessibleTextInterface *reader = QAccessible::queryAccessibleInterface(&view)->textInterface();
            int start = -1, end = -1;
            QCOMPARE(reader->textAtOffset(10, QAccessible::CharBoundary, &start, &end), text.sliced(10, 1));
            QCOMPARE(reader->textAtOffset(3, QAccessible::LineBoundary, &start, &end), text);
        }
    }

    // The scroll bar counts rows where every row is counted: a row a step,
    // a screenful a page. It stays shown, disabled while everything fits.
    void scrollBarMovesByRows_data()
    {
        QTest::addColumn<int>("paragraphs");
        QTest::addColumn<bool>("fits");
        QTest::newRow("one paragraph") << 1 << true;
        QTest::newRow("a dozen, that fit") << 12 << true;
        QTest::newRow("a hundred") << 100 << false;
        QTest::newRow("a thousand") << 1000 << false;
    }

    void scrollBarMovesByRows()
    {
        QFETCH(int, paragraphs);
        QFETCH(bool, fits);
        ReadOnlyTextView view;
        prepare(view);
        QStringList lines;
        for (int i = 0; i < paragraphs; ++i)
            lines.append(i % 7 == 3 ? QStringLiteral("a long one that wraps over several rows of the view, again "
                                                     "and again and again, until it has taken three or more")
                                    : QStringLiteral("row %1").arg(i));
        view.setPlainText(lines.join(QStringLiteral("\r\n")));
        const RowLayout &rows = view.rows();
        const qsizetype rowCount = rowsForward(rows).size();
        QCOMPARE(rows.rowCount(), rowCount);
        QScrollBar *bar = view.verticalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->isEnabled(), !fits);
        QCOMPARE(bar->maximum(), std::max<qsizetype>(0, rowCount - view.rowsInView()));
        if (fits)
            return;
        QCOMPARE(bar->pageStep(), view.rowsInView());
        for (int step = 1; step <= 5; ++step) {
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(bar->value(), step);
            QCOMPARE(view.topPosition(), rows.rowStart(rows.movedBy(rows.rowAt(0), step)));
        }
        bar->setValue(bar->maximum() / 2);
        QCOMPARE(view.topPosition(), rows.rowStart(rows.movedBy(rows.rowAt(0), bar->maximum() / 2)));
        bar->setValue(bar->maximum());
        QVERIFY(!view.characterRect(rows.length()).isNull());
    }

    // While the button stays down with the pointer below the view, the view
    // goes on scrolling and the selection grows, with no further move.
    void dragSelectionScrollsOnItsOwn()
    {
        ReadOnlyTextView view;
        prepare(view);
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines.append(QStringLiteral("row %1").arg(i));
        view.setPlainText(lines.join(QStringLiteral("\r\n")));
        const QPoint inside(20, 20);
        const qsizetype anchor = view.positionAt(inside);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, inside);
        QMouseEvent below(QEvent::MouseMove, QPointF(20, view.viewport()->height() + 30),
                          view.viewport()->mapToGlobal(QPointF(20, view.viewport()->height() + 30)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &below);
        const qsizetype topAfterMove = view.topPosition();
        QTest::qWait(12 * ReadOnlyTextView::kAutoScrollInterval);
        QVERIFY2(view.topPosition() > topAfterMove, "the view scrolled on its own");
        QCOMPARE(view.selectionRange().first, anchor);
        QVERIFY(view.selectionRange().second > topAfterMove);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(20, view.viewport()->height() + 30));
        const qsizetype topAtRelease = view.topPosition();
        QTest::qWait(4 * ReadOnlyTextView::kAutoScrollInterval);
        QCOMPARE(view.topPosition(), topAtRelease);
    }

    // The standard menu of a read-only text box: every entry, with its
    // shortcut, those that would edit greyed out.
    void offersTheStandardReadOnlyMenu_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::newRow("nothing selected") << false;
        QTest::newRow("a word selected") << true;
    }

    void offersTheStandardReadOnlyMenu()
    {
        QFETCH(bool, selected);
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(kParagraphs);
        if (selected)
            view.select(0, 5);
        QStringList entries;
        QTimer::singleShot(0, [&entries] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (const QAction *action : menu->actions()) {
                entries.append(action->isSeparator() ? QStringLiteral("-")
                                                     : QStringLiteral("%1 %2 %3")
                                                           .arg(action->text(), action->shortcut().toString(),
                                                                action->isEnabled() ? "on" : "off"));
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), view.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(view.viewport(), &event);
        QCOMPARE(entries, (QStringList{"&Undo Ctrl+Z off", "-", "Cu&t Ctrl+X off",
                                       selected ? "&Copy Ctrl+C on" : "&Copy Ctrl+C off", "&Paste Ctrl+V off",
                                       "&Delete Del off", "-", "Select &All Ctrl+A on"}));
    }

    // The rectangle of a character out of view is empty, found at once, so
    // that a screen reader asking for the extents of a long stretch
    // character by character is answered.
    void answersCharacterRectanglesOfALongStretch()
    {
        ReadOnlyTextView view;
        prepare(view);
        view.setPlainText(paragraphOfWords(3'000'000, 5));
        QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&view)->textInterface();
        int shown = 0;
        for (int offset = 0; offset < 2'000'000; ++offset)
            shown += !text->characterRect(offset).isEmpty();
        QVERIFY(shown > 100);
        QVERIFY(shown < 5000);
        QVERIFY(text->characterRect(shown + 100).isEmpty());
        QVERIFY(!text->characterRect(0).isEmpty());
    }

    void scrollsThroughAHundredThousandLines()
    {
        ReadOnlyTextView view;
        prepare(view);
        QString text;
        for (int i = 0; i < 100'000; ++i)
            text += QStringLiteral("\r\nQuotation number %1\r\n").arg(i);
        view.setPlainText(text);
        view.setFocus();
        QCOMPARE(view.topPosition(), 0);
        const int rows = view.rowsInView();
        QCOMPARE(rows, (321 - 8) / view.fontMetrics().lineSpacing());
        press(&view, "PgDown");
        const RowLayout &wrapped = view.rows();
        QCOMPARE(view.topPosition(), wrapped.rowStart(wrapped.movedBy(wrapped.rowAt(0), rows - 1)));
        press(&view, "Ctrl+End");
        QCOMPARE(view.caretPosition(), text.size());
        QVERIFY(!view.characterRect(text.size()).isNull());
        QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
        press(&view, "Ctrl+Home");
        QCOMPARE(view.topPosition(), 0);
        // Pulling the scroll bar to its middle shows the middle of the text.
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
        QVERIFY(qAbs(view.topPosition() - text.size() / 2) < 200);
        view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const qsizetype oneRowDown = view.topPosition();
        QVERIFY(oneRowDown > text.size() / 2 - 200);
        view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QVERIFY(view.topPosition() < oneRowDown);
    }
};

QTEST_MAIN(TextViewTest)
#include "tst_textview.moc"
