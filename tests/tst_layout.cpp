// SPDX-License-Identifier: MIT
// The window as a user sees it: every control in its place with its text,
// font, colours, stacking and tab order, and the frame drawn around it.
#include "ClickableLabel.h"
#include "Pictures.h"
#include "ProgramSetup.h"
#include "WindowTestSupport.h"
#include "frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QListView>
#include "ReadOnlyTextView.h"
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionViewItem>
#include <QScrollBar>
#include <QTest>

using namespace sayvane;
using namespace Qt::StringLiterals;
using test::ProgramFolder;
using test::RecordedOutcome;

namespace {

struct Expected
{
    const char *name;
    QRect geometry;
    const char *text;
    const char *family;  // as the window asks for it
    const char *nearest; // drawn where the family is not installed
    int pixelSize;
    bool bold;
};

// Topmost first, as the window stacks them.
const Expected kExpected[] = {
    {"cmdExit", {368, 472, 113, 25}, "Exit", "Verdana", "DejaVu Sans", 13, true},
    {"cmdAbout", {240, 472, 113, 25}, "About", "Verdana", "DejaVu Sans", 13, true},
    {"cmdSearch", {432, 112, 97, 25}, "Search", "Arial", "Liberation Sans", 13, true},
    {"txtSearch", {200, 112, 225, 27}, "", "MS Sans Serif", "Liberation Sans", 16, false},
    {"txtAuthor", {16, 112, 169, 19}, "", "MS Sans Serif", "Liberation Sans", 11, false},
    {"cmdShowSubject", {544, 472, 145, 25}, "Show Related Quotes", "Arial", "Liberation Sans", 13, false},
    {"txtSubject", {544, 112, 145, 19}, "", "MS Sans Serif", "Liberation Sans", 11, false},
    {"SubjectList", {544, 136, 145, 327}, nullptr, "MS Sans Serif", "Liberation Sans", 11, false},
    {"cmdShowAuthor", {16, 472, 169, 25}, "Show Quotes of Author", "Arial", "Liberation Sans", 13, false},
    {"AuthorList", {16, 136, 169, 327}, nullptr, "MS Sans Serif", "Liberation Sans", 11, false},
    {"txtQuotes",
     {200, 144, 329, 321},
     "Select an Author or subject to show its quotes.\r\n",
     "Arial",
     "Liberation Sans",
     13,
     false},
    {"Label4", {472, 56, 153, 17}, " by Tamsor.", "Arial", "Liberation Sans", 15, true},
    {"Image1", {256, 32, 197, 47}, nullptr, nullptr, nullptr, 0, false},
    {"lblMin", {648, 0, 17, 25}, "_", "MS Sans Serif", "Liberation Sans", 18, false},
    {"lblExit", {672, 0, 17, 25}, "X", "MS Sans Serif", "Liberation Sans", 18, false},
    {"Line3", {700, 22, 4, 492}, nullptr, nullptr, nullptr, 0, false},
    {"Line2", {0, 510, 704, 4}, nullptr, nullptr, nullptr, 0, false},
    {"Line1", {0, 22, 3, 492}, nullptr, nullptr, nullptr, 0, false},
    {"TitleBar", {0, 0, 705, 25}, "", "MS Sans Serif", "Liberation Sans", 11, false},
    {"Label3", {200, 88, 329, 17}, "Search a quote :", "Verdana", "DejaVu Sans", 15, true},
    {"Label2", {544, 88, 145, 17}, "Subjects", "Verdana", "DejaVu Sans", 15, true},
    {"Label1", {16, 88, 169, 17}, "Authors ", "Verdana", "DejaVu Sans", 15, true},
};

QString textOf(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (auto *box = qobject_cast<const QLineEdit *>(widget))
        return box->text();
    if (auto *box = qobject_cast<const ReadOnlyTextView *>(widget))
        return box->toPlainText();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return {};
}

QColor colourAt(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// The widget as it paints itself on a screen of `scale` device pixels to
// the pixel.
QImage paintedAt(QWidget *widget, int scale)
{
    QPixmap pixmap(widget->size() * scale);
    pixmap.setDevicePixelRatio(scale);
    widget->render(&pixmap);
    return pixmap.toImage();
}

// The top-left corner of the caption: its first dark pixel from the left
// and from the top, inside the focus mark.
QPoint captionOrigin(const QImage &image)
{
    const int inset = image.height() / 4;
    QPoint origin(image.width(), image.height());
    for (int y = inset; y < image.height() - inset; ++y) {
        for (int x = inset; x < image.width() - inset; ++x) {
            if (qGray(image.pixel(x, y)) < 96) {
                origin.setX(std::min(origin.x(), x));
                origin.setY(std::min(origin.y(), y));
            }
        }
    }
    return origin;
}

// Keeps the text of every list row the style is asked to draw.
class RowTextRecorder : public QProxyStyle
{
public:
    RowTextRecorder()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {
    }
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
            item && element == CE_ItemViewItem)
            drawn.append(item->text);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable QStringList drawn;
};

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

    test::ShownWindow m_shown;

private slots:
    void initTestCase()
    {
        setUpProgram();
        QStringList names;
        QByteArray authors;
        for (int i = 0; i < 30; ++i)
            authors.append("##Author " + QByteArray::number(i) + "\r\n");
        m_shown.folder.writeBoth(authors, "##Courage\r\n");
        QVERIFY(m_shown.open());
        m_shown.window->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(m_shown.window.get()));
    }

    // Every case begins with the window active, as a user sees it, even
    // where a case before opened a window of its own.
    void init()
    {
        m_shown.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_shown.window.get()));
    }

    void windowIsFixedAndFrameless()
    {
        QCOMPARE(m_shown.window->size(), QSize(704, 514));
        QCOMPARE(m_shown.window->minimumSize(), m_shown.window->maximumSize());
        QVERIFY(m_shown.window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(m_shown.window->windowTitle(), QStringLiteral("Sayvane !"));
        QCOMPARE(m_shown.window->palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
        QVERIFY(!m_shown.window->windowIcon().isNull());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(m_shown.window->geometry().center(),
                 QRect(screen.center() - QPoint(351, 256), QSize(704, 514)).center());
    }

    void everyControlInPlaceAndStacked()
    {
        QList<QWidget *> stacked;
        for (QObject *child : m_shown.window->children()) {
            if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
                stacked.prepend(widget); // the last child is drawn on top
        }
        QCOMPARE(stacked.size(), qsizetype(std::size(kExpected)));
        for (qsizetype i = 0; i < stacked.size(); ++i) {
            const Expected &expected = kExpected[i];
            QWidget *widget = stacked[i];
            QCOMPARE(widget->objectName(), QString::fromLatin1(expected.name));
            QCOMPARE(widget->geometry(), expected.geometry);
            QVERIFY2(widget->isVisible() && widget->isEnabled(), expected.name);
            if (expected.text)
                QCOMPARE(textOf(widget), QString::fromUtf8(expected.text));
            if (expected.family) {
                // The family itself where it is installed, otherwise its
                // nearest, and never a family the desktop lacks.
                const QString requested = QString::fromLatin1(expected.family);
                const QString drawn =
                    QFontDatabase::families().contains(requested) ? requested : QString::fromLatin1(expected.nearest);
                QCOMPARE(QFontInfo(widget->font()).family(), drawn);
                QCOMPARE(widget->font().families(), QStringList{drawn});
                QCOMPARE(widget->font().pixelSize(), expected.pixelSize);
                QCOMPARE(widget->font().weight(), expected.bold ? QFont::Bold : QFont::Normal);
                QVERIFY(!widget->font().italic() && !widget->font().underline());
            }
        }
    }

    void coloursToolTipsAndNames()
    {
        const Controls &c = m_shown.window->controls();
        for (QPushButton *button : {c.cmdExit, c.cmdAbout, c.cmdSearch, c.cmdShowSubject, c.cmdShowAuthor}) {
            QCOMPARE(button->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xC0));
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        QCOMPARE(m_shown.window->controls().cmdSearch->toolTip(),
                 QStringLiteral("Search all the quotes for a word or phrase"));
        QCOMPARE(m_shown.window->controls().cmdShowSubject->toolTip(),
                 QStringLiteral("Show quotes related to the selected subject"));
        QCOMPARE(m_shown.window->controls().cmdShowAuthor->toolTip(),
                 QStringLiteral("Show quotes of the selected author"));
        QCOMPARE(m_shown.window->controls().Label4->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
        QCOMPARE(m_shown.window->controls().lblExit->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(m_shown.window->controls().Label1->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(m_shown.window->controls().Label3->alignment() & Qt::AlignLeft, Qt::AlignLeft);
        QCOMPARE(m_shown.window->controls().AuthorList->accessibleName(), QStringLiteral("Authors"));
        QCOMPARE(m_shown.window->controls().SubjectList->accessibleName(), QStringLiteral("Subjects"));
        QCOMPARE(m_shown.window->controls().txtQuotes->accessibleName(), QStringLiteral("Quotations"));
        QCOMPARE(m_shown.window->controls().txtSearch->accessibleName(), QStringLiteral("Search phrase"));
        QCOMPARE(m_shown.window->controls().txtAuthor->accessibleName(), QStringLiteral("Filter authors"));
        QCOMPARE(m_shown.window->controls().txtSubject->accessibleName(), QStringLiteral("Filter subjects"));
        QCOMPARE(m_shown.window->controls().cmdAbout->accessibleName(), QStringLiteral("About"));
    }

    void tabOrderAndFirstFocus()
    {
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget() : m_shown.window->focusWidget(),
                 static_cast<QWidget *>(m_shown.window->controls().AuthorList));
        const QStringList expected{"AuthorList", "txtQuotes",      "cmdShowAuthor", "SubjectList",
                                   "txtSubject", "cmdShowSubject", "txtAuthor",     "txtSearch",
                                   "cmdSearch",  "cmdAbout",       "cmdExit",       "AuthorList"};
        QStringList order{"AuthorList"};
        QWidget *widget = m_shown.window->controls().AuthorList;
        while (order.size() < expected.size()) {
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus) || widget->parentWidget() != m_shown.window.get());
            order.append(widget->objectName());
        }
        QCOMPARE(order, expected);
        for (const char *label : {"TitleBar", "lblMin", "lblExit", "Label1", "Label2", "Label3", "Label4"})
            QCOMPARE(m_shown.window->findChild<QWidget *>(label)->focusPolicy(), Qt::NoFocus);
    }

    void listsShow25RowsOf13Pixels()
    {
        QListView *list = m_shown.window->controls().AuthorList;
        QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 13);
        QCOMPARE(list->viewport()->height() / 13, 25);
        QVERIFY(list->verticalScrollBar()->isVisible());
        QCOMPARE(list->model()->index(29, 0).data().toString(), QStringLiteral("Author 29"));
    }

    // A row draws the start of its name, never all of a huge one: of a
    // name of 100,000 characters, at most its first 1,024, which is more
    // than any row shows; a short name whole.
    void listRowsDrawTheStartOfAName()
    {
        test::ShownWindow shown;
        const QByteArray huge(100'000, 'W');
        QVERIFY(shown.open("##" + huge + "\r\n##Plato\r\n", "##S\r\n"));
        ListBox *list = shown.controls().AuthorList;
        RowTextRecorder recorder;
        list->setStyle(&recorder);
        list->viewport()->repaint();
        list->setStyle(nullptr);
        QCOMPARE(recorder.drawn.size(), 2);
        QVERIFY(recorder.drawn[0].size() <= 1'024);
        QVERIFY(recorder.drawn[0].size() >= 100);
        QVERIFY(QString::fromLatin1(huge).startsWith(recorder.drawn[0]));
        QCOMPARE(recorder.drawn[1], QStringLiteral("Plato"));
    }

    void quotationsAreaWrapsAndIsReadOnly()
    {
        ReadOnlyTextView *quotes = m_shown.window->controls().txtQuotes;
        QCOMPARE(quotes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(quotes->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(quotes->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
        const QString before = quotes->toPlainText();
        quotes->setFocus();
        QTest::keyClicks(quotes, "typed");
        QTest::keyClick(quotes, Qt::Key_Backspace);
        QTest::keyClick(quotes, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(quotes->toPlainText(), before);
        quotes->selectAll();
        quotes->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Select an Author or subject to show its quotes.\n"));
    }

    // The five buttons in the classic look, at one and two device pixels
    // to the pixel: a flat face of #C0C0C0 inside a raised edge (white and
    // #DFDFDF at the top and left, black and #808080 at the bottom and
    // right); with the focus, a black frame around that edge and a dotted
    // mark inside; pressed, the black frame with one flat #808080 line
    // inside and the caption shifted by a pixel. The rest of the window
    // keeps the Fusion style.
    void paintsClassicButtonFaces_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("look");
        QTest::addColumn<int>("scale");
        // From the edge inward: the colours at the top and left, then at the
        // bottom and right.
        QTest::addColumn<QStringList>("topLeft");
        QTest::addColumn<QStringList>("bottomRight");
        const QStringList raisedTop{"#ffffff", "#dfdfdf", "#c0c0c0"}, raisedBottom{"#000000", "#808080", "#c0c0c0"};
        const QStringList focusedTop{"#000000", "#ffffff", "#dfdfdf", "#c0c0c0"},
            focusedBottom{"#000000", "#000000", "#808080", "#c0c0c0"};
        const QStringList pressed{"#000000", "#808080", "#c0c0c0"};
        for (const char *name : {"cmdExit", "cmdAbout", "cmdSearch", "cmdShowSubject", "cmdShowAuthor"}) {
            for (int scale : {1, 2}) {
                const QString at = QStringLiteral(" at scale %1").arg(scale);
                QTest::addRow("%s raised%s", name, qPrintable(at))
                    << name << "raised" << scale << raisedTop << raisedBottom;
                QTest::addRow("%s focused%s", name, qPrintable(at))
                    << name << "focused" << scale << focusedTop << focusedBottom;
                QTest::addRow("%s pressed%s", name, qPrintable(at)) << name << "pressed" << scale << pressed << pressed;
            }
        }
    }

    void paintsClassicButtonFaces()
    {
        QFETCH(QString, button);
        QFETCH(QString, look);
        QFETCH(int, scale);
        QFETCH(QStringList, topLeft);
        QFETCH(QStringList, bottomRight);
        QPushButton *face = m_shown.window->findChild<QPushButton *>(button);
        QVERIFY(face);
        if (look == "raised")
            m_shown.window->controls().AuthorList->setFocus();
        else
            face->setFocus();
        QTRY_COMPARE(face->hasFocus(), look != "raised");
        face->setDown(look == "pressed");
        const QImage image = paintedAt(face, scale);
        face->setDown(false);
        m_shown.window->controls().AuthorList->setFocus();

        // Each ring is `scale` device pixels wide, on all four sides.
        const int right = image.width() - 1, bottom = image.height() - 1;
        const int midX = image.width() / 2, midY = image.height() / 2;
        for (int ring = 0; ring < topLeft.size(); ++ring) {
            for (int pixel = ring * scale; pixel < (ring + 1) * scale; ++pixel) {
                QCOMPARE(image.pixelColor(midX, pixel).name(), topLeft[ring]);
                QCOMPARE(image.pixelColor(pixel, midY).name(), topLeft[ring]);
                QCOMPARE(image.pixelColor(midX, bottom - pixel).name(), bottomRight[ring]);
                QCOMPARE(image.pixelColor(right - pixel, midY).name(), bottomRight[ring]);
            }
        }
        // The dotted focus mark runs 4 pixels inside the edge, with the focus only.
        int dots = 0;
        for (int x = 6 * scale; x < right - 6 * scale; ++x)
            dots += image.pixelColor(x, 4 * scale).name() == "#000000";
        QCOMPARE(dots > (right - 12 * scale) / 4, look != "raised");
        // Pressed, the caption moves a pixel right and down.
        const QImage raised = paintedAt(face, scale);
        const QPoint shift = captionOrigin(image) - captionOrigin(raised);
        QCOMPARE(shift, look == "pressed" ? QPoint(scale, scale) : QPoint());

        const Controls &c = m_shown.window->controls();
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        QCOMPARE(c.AuthorList->style(), QApplication::style());
        QCOMPARE(c.txtQuotes->style(), QApplication::style());
    }

    void drawsTheFrameTitleBandAndPictures()
    {
        const QImage image = m_shown.window->grab().toImage();
        const QColor black(0, 0, 0), background(0xE0, 0xE0, 0xE0), white(0xFF, 0xFF, 0xFF);
        QCOMPARE(colourAt(image, 100, 10), black);     // title band
        QCOMPARE(colourAt(image, 10, 60), background); // window background
        for (int x : {0, 1, 2})
            QCOMPARE(colourAt(image, x, 300), black); // left edge, 3 px
        QCOMPARE(colourAt(image, 3, 300), background);
        for (int x : {700, 701, 702, 703})
            QCOMPARE(colourAt(image, x, 300), black); // right edge, 4 px
        QCOMPARE(colourAt(image, 699, 300), background);
        for (int y : {510, 511, 512, 513})
            QCOMPARE(colourAt(image, 300, y), black); // bottom edge, 4 px
        QCOMPARE(colourAt(image, 300, 509), background);
        QCOMPARE(colourAt(image, 360, 400), background); // inside the quotations area
        auto hasWhite = [&](QRect area) {
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (colourAt(image, x, y) == white)
                        return true;
            return false;
        };
        QVERIFY2(hasWhite({648, 0, 17, 25}), "the minimise label is white");
        QVERIFY2(hasWhite({672, 0, 17, 25}), "the close label is white");
        const QColor bannerCorner = colourAt(image, 258, 34);
        QVERIFY2(qAbs(bannerCorner.red() - 0xD8) < 8 && bannerCorner != background, "the banner is drawn");
    }

    void readsEachPictureAtTheScreensScale_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qreal>("screenScale");
        QTest::addColumn<QString>("file");
        QTest::addColumn<qreal>("pictureScale");
        const QString banner = QStringLiteral(":/sayvane/banner.jpg"), icon = QStringLiteral(":/sayvane/icon.png");
        const QString banner2x = QStringLiteral(":/sayvane/banner@2x.jpg");
        QTest::newRow("banner, scale 1") << banner << 1.0 << banner << 1.0;
        QTest::newRow("banner, scale 1.25") << banner << 1.25 << banner << 1.0;
        QTest::newRow("banner, scale 2") << banner << 2.0 << banner2x << 2.0;
        QTest::newRow("banner, scale 3") << banner << 3.0 << banner2x << 2.0;
        QTest::newRow("icon, scale 1") << icon << 1.0 << icon << 1.0;
        QTest::newRow("icon, scale 2") << icon << 2.0 << QStringLiteral(":/sayvane/icon@2x.png") << 2.0;
    }

    // Each picture is its file's, at its file's scale.
    void readsEachPictureAtTheScreensScale()
    {
        QFETCH(QString, path);
        QFETCH(qreal, screenScale);
        QFETCH(QString, file);
        QFETCH(qreal, pictureScale);
        const QImage expected = QPixmap::fromImage(QImage(file)).toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!expected.isNull());
        const QPixmap picture = ProgramPictures::readAll().picture(path, screenScale);
        QCOMPARE(picture.devicePixelRatio(), pictureScale);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(expected.size()) / pictureScale);
        QCOMPARE(picture.toImage().convertToFormat(QImage::Format_ARGB32), expected);
        QCOMPARE(m_shown.window->windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32), QSize(64, 64)}));
    }

    // Every message box, the About box among them, has a plain OK button,
    // even under a desktop theme that puts icons on dialog buttons.
    void okButtonsCarryNoIcon()
    {
        class IconsOnButtons : public QProxyStyle
        {
        public:
            using QProxyStyle::QProxyStyle;
            int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                          QStyleHintReturn *data) const override
            {
                if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
                    return 1;
                return QProxyStyle::styleHint(hint, option, widget, data);
            }
        };
        QStyle *programStyle = createProgramStyle();
        QApplication::setStyle(new IconsOnButtons(programStyle->name()));
        delete programStyle;
        bool looked = false;
        bool plain = false;
        QImage face;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QAbstractButton *ok = box->button(QMessageBox::Ok);
            QVERIFY(ok);
            looked = true;
            plain = ok->icon().isNull();
            face = ok->grab().toImage();
            box->accept();
        });
        MessageBoxesAndExit().showMessage(nullptr, Message{u"About Sayvane"_s, MessageIcon::Information, u"About"_s});
        QApplication::setStyle(createProgramStyle());
        QVERIFY(looked);
        QVERIFY(plain);
        // An icon stands left of the caption: in the left third of the
        // face, inside its frame, each row is one colour (a face may shade
        // from top to bottom, not from left to right).
        for (int y = 4; y < face.height() - 4; ++y) {
            for (int x = 5; x < face.width() / 3; ++x)
                QVERIFY2(face.pixel(x, y) == face.pixel(4, y), qPrintable(u"something drawn at %1, %2"_s.arg(x).arg(y)));
        }
    }

    void namesOnlyInstalledFamilies_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("nearest");
        QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                       << "Liberation Sans";
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans";
        QTest::newRow("Verdana") << "Verdana"
                                 << "DejaVu Sans";
        QTest::newRow("installed") << "Liberation Sans"
                                   << "Liberation Sans";
        // A family the program knows no nearest of is named as it is, and
        // the font system chooses.
        QTest::newRow("unknown") << "No Such Family"
                                 << "No Such Family";
    }

    void namesOnlyInstalledFamilies()
    {
        QFETCH(QString, requested);
        QFETCH(QString, nearest);
        const bool installed = QFontDatabase::families().contains(requested);
        const QFont font = programFont(requested.toLatin1().constData(), 13, true);
        QCOMPARE(font.families(), QStringList{installed ? requested : nearest});
        QCOMPARE(font.pixelSize(), 13);
        QCOMPARE(font.weight(), QFont::Bold);
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
