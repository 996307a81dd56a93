// SPDX-License-Identifier: MIT
#include "RandomQuotation.h"

#include "LineRules.h"
#include "LineScan.h"
#include "LineText.h"
#include "Utf8Output.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace sayvane::terminal {
namespace {

bool holdsMoreThanSpaces(std::string_view line)
{
    return line.find_first_not_of(' ') != std::string_view::npos;
}

// Keeps one of the lines offered, each equally likely (a reservoir of
// one). Rather than a random number for every line, it draws which line
// will next take the place: after k lines, line m is the next with
// probability k / ((m - 1) m), so m = floor(k / u) + 1 for u uniform in
// (0, 1]; a file of n lines costs about ln n draws.
class Reservoir
{
public:
    explicit Reservoir(quint64 seed)
        : m_engine(seed)
    {
    }

    // The lines offered so far.
    qint64 offered() const { return m_offered; }
    // Offers `count` lines at once, of which one was kept elsewhere, each
    // equally likely: true when that one takes the place, with the
    // probability count / (all lines offered).
    bool offerMany(qint64 count)
    {
        m_offered += count;
        const double uniform = double(m_engine() >> 11) * 0x1.0p-53; // in [0, 1)
        return uniform * double(m_offered) < double(count);
    }

    // Whether one of the next `count` lines would take the place.
    bool wouldTake(qint64 count) const { return m_offered + count >= m_next; }
    // Offers `count` lines none of which takes the place (see wouldTake).
    void pass(qint64 count) { m_offered += count; }

    // True when this line takes the place of the one kept.
    bool offer()
    {
        if (++m_offered < m_next)
            return false;
        const double uniform = double((m_engine() >> 11) + 1) * 0x1.0p-53;
        const double next = std::floor(double(m_offered) / uniform) + 1;
        m_next = next >= double(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                     : qint64(next);
        return true;
    }

private:
    std::mt19937_64 m_engine;
    qint64 m_offered = 0;
    qint64 m_next = 1; // the first line is always taken
};

// Tells whether a heading line names one name, spelt in either encoding,
// as the window matches a selected name.
class NameMatch
{
public:
    explicit NameMatch(const QString &name)
        : m_spellings(spellingsOf(trimSpaces(name)))
    {
    }
    bool heads(std::string_view headingLine) const
    {
        const std::string_view name = HeadingName(headingLine);
        return std::any_of(m_spellings.begin(), m_spellings.end(), [name](const Spelling &spelling) {
            return name == spelling.bytes && encodingFits(name, spelling);
        });
    }

private:
    QList<Spelling> m_spellings;
};

struct Draw
{
    std::string line; // the bytes of the line kept
    std::string author;
    bool found = false;
};

// Where a walk stands: the heading above, and whether the lines here are
// drawn from. A part of the file after the first begins in its prelude:
// the lines before its first heading, whose heading only the parts before
// it know; they are drawn from apart, and weighed in afterwards.
struct Place
{
    std::string heading;
    // The heading line above, where it is in the block being walked and
    // its name not yet in `heading`: taken only for a line drawn under it,
    // or where the block ends.
    const char *headingLine = nullptr;
    bool underHeading = false;
    bool inSection = false;
    bool inPrelude = false;
};

// One walk's draws: of the prelude's lines and of the rest.
struct Draws
{
    Reservoir prelude;
    Reservoir rest;
    Draw preludeDraw;
    Draw restDraw;
};

// Draws from the lines the blocks give, or from the first run of sections
// of a name. A block is taken by its census: the quotation lines between
// its odd lines are passed over by their number, and only the odd lines
// are looked at; where the reservoir would take one of the lines passed
// over (about ln n times in n lines), the block is walked again line by
// line from the state it began in, so that the draw is the one a walk of
// every line makes.
template <typename EachBlock>
std::optional<ReadFailure> drawFrom(EachBlock eachBlock, const std::optional<NameMatch> &name, Place &place,
                                    Draws &draws)
{
    const auto drawsHere = [&name, &place] {
        return name ? place.inSection : place.underHeading || place.inPrelude;
    };
    const auto reservoir = [&]() -> Reservoir & { return place.inPrelude ? draws.prelude : draws.rest; };
    // The name of the heading above, taken from its line where that is
    // only marked.
    const auto settleHeading = [&place](const char *end, auto terminator) {
        if (place.headingLine)
            place.heading.assign(HeadingName(terminator.lineAt(place.headingLine, end).line));
        place.headingLine = nullptr;
    };
    // One line looked at in full; false where the draw ends, at a later
    // section of the name, which the window never shows.
    const auto lookAt = [&](std::string_view line, const char *end, auto terminator) {
        if (IsHeadingLine(line)) {
            if (name) {
                const bool heads = name->heads(line);
                if (place.inSection && !heads)
                    return false;
                place.inSection = heads;
            }
            place.underHeading = true;
            place.inPrelude = false;
            place.headingLine = nullptr;
            place.heading.assign(HeadingName(line));
        } else if (drawsHere() && holdsMoreThanSpaces(line) && reservoir().offer()) {
            settleHeading(end, terminator);
            Draw &draw = place.inPrelude ? draws.preludeDraw : draws.restDraw;
            draw.line.assign(line);
            draw.author = place.heading;
            draw.found = true;
        }
        return true;
    };
    LineCensus census;
    const auto drawFromBlock = [&](std::string_view lines, auto terminator) {
        const char *const end = lines.data() + lines.size();
        const Place placeBefore = place;
        const Draws drawsBefore = draws;
        constexpr LineEnds kEnds = decltype(terminator)::kEndByte == '\n' ? LineEnds::Lf : LineEnds::Classic;
        takeCensus(lines, kEnds, census);
        const auto passOver = [&](qint64 count) {
            if (count <= 0 || !drawsHere())
                return true;
            if (reservoir().wouldTake(count))
                return false;
            reservoir().pass(count);
            return true;
        };
        if (!lookAt(terminator.lineAt(lines.data(), end).line, end, terminator))
            return false;
        qint64 next = 1; // the line after those looked at or passed over
        bool walked = true;
        for (const OddLine &odd : census.odd) {
            if (!passOver(odd.index - next)) {
                walked = false;
                break;
            }
            // Nearly every heading begins with its marks: without a name
            // to match, it is only marked, not yet read to its end.
            if (!name && end - odd.start >= 2 && odd.start[0] == '#' && odd.start[1] == '#') {
                place.underHeading = true;
                place.inPrelude = false;
                place.headingLine = odd.start;
            } else if (!lookAt(terminator.lineAt(odd.start, end).line, end, terminator)) {
                return false;
            }
            next = odd.index + 1;
        }
        if (walked && passOver(census.lines - next))
            return true;
        place = placeBefore;
        draws = drawsBefore;
        for (const char *position = lines.data(); position < end;) {
            const LineSpan span = terminator.lineAt(position, end);
            position = span.next;
            if (!lookAt(span.line, end, terminator))
                return false;
        }
        return true;
    };
    return eachBlock([&](std::string_view lines, auto terminator) {
        const bool goOn = drawFromBlock(lines, terminator);
        settleHeading(lines.data() + lines.size(), terminator);
        return goOn;
    });
}

// The seed of one of the draws made with one seed, each unlike the others
// (SplitMix64's mixing): the parts' draws and the choice among them must
// not share their numbers.
quint64 streamSeed(quint64 seed, quint64 stream)
{
    quint64 mixed = seed + 0x9E3779B97F4A7C15u * (stream + 1);
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
    return mixed ^ (mixed >> 31);
}

// Each part of a large file is drawn from on a thread of its own, with a
// seed of its own; then one of the parts' draws is kept, each weighed by
// the number of lines it was drawn from, so that every line of the file
// is still equally likely. A prelude counts once the parts before it have
// met a heading, and stands under the last of them.
std::optional<ReadFailure> drawFromParts(const QString &path, quint64 seed, const PartSettings &parting, Draw &draw)
{
    PartedFile parted;
    if (const std::optional<QString> reason = parted.open(path, parting.partBytes, kPartReading))
        return ReadFailure{path, *reason};
    struct PartDraw
    {
        Place place;
        Draws draws;
        std::optional<ReadFailure> failure;
    };
    std::vector<PartDraw> parts(parted.parts().size(),
                                PartDraw{{}, {Reservoir(0), Reservoir(0), {}, {}}, std::nullopt});
    forEachPart(parted, parting.threads, kPartReading, [&](std::size_t index, DataFileReader &reader) {
        PartDraw &part = parts[index];
        part.draws.rest = Reservoir(streamSeed(seed, 2 * index + 1));
        part.draws.prelude = Reservoir(streamSeed(seed, 2 * index + 2));
        part.place.inPrelude = index > 0;
        part.failure = drawFrom([&](auto visit) { return forEachBlockOf(reader, path, visit); }, std::nullopt,
                                part.place, part.draws);
    });
    Reservoir choice(streamSeed(seed, 0));
    std::optional<std::string> heading;
    const auto weigh = [&](const Reservoir &drawn, const Draw &kept, const std::optional<std::string> &author) {
        if (drawn.offered() > 0 && choice.offerMany(drawn.offered())) {
            draw.line = kept.line;
            draw.author = author.value_or(kept.author);
            draw.found = true;
        }
    };
    for (const PartDraw &part : parts) {
        if (part.failure)
            return part.failure;
        if (heading)
            weigh(part.draws.prelude, part.draws.preludeDraw, heading);
        weigh(part.draws.rest, part.draws.restDraw, std::nullopt);
        if (part.place.underHeading)
            heading = part.place.heading;
    }
    return std::nullopt;
}

// The heading of the first quotation line of the file that reads as the
// same text as the line given, or none.
std::optional<std::string> authorOfLine(const QString &authorsPath, std::string_view line,
                                        std::optional<ReadFailure> &failure)
{
    const QList<Spelling> spellings = spellingsOfLine(line);
    std::string heading;
    bool underHeading = false;
    std::optional<std::string> author;
    failure = forEachBlock(authorsPath, ReadSettings{.readAhead = true}, [&](std::string_view lines, auto terminator) {
        const char *position = lines.data();
        const char *const end = position + lines.size();
        while (position < end) {
            const LineSpan span = terminator.lineAt(position, end);
            position = span.next;
            if (IsHeadingLine(span.line)) {
                underHeading = true;
                heading.assign(HeadingName(span.line));
            } else if (std::any_of(spellings.begin(), spellings.end(), [&span](const Spelling &spelling) {
                           return span.line == spelling.bytes && encodingFits(span.line, spelling);
                       })) {
                if (underHeading)
                    author = heading;
                return false;
            }
        }
        return true;
    });
    return author;
}

} // namespace

DrawResult drawQuotation(const QString &authorsPath, const QString &subjectsPath, const DrawRequest &request,
                         quint64 seed, const PartSettings &parting)
{
    Draw draw;
    DrawResult result;
    const std::optional<QString> &name = request.subject ? request.subject : request.author;
    if (name) {
        // A name's sections end the walk where they end: one walk, in order.
        const NameMatch match(*name);
        const QString &path = request.subject ? subjectsPath : authorsPath;
        Place place;
        Draws draws{Reservoir(0), Reservoir(seed), {}, {}};
        result.failure = drawFrom(
            [&](auto visit) { return forEachBlock(path, ReadSettings{.readAhead = true}, visit); }, match, place,
            draws);
        draw = draws.restDraw;
    } else {
        result.failure = drawFromParts(authorsPath, seed, parting, draw);
    }
    if (result.failure || !draw.found)
        return result;
    DrawnQuotation drawn;
    appendAsUtf8(drawn.text, draw.line);
    std::optional<std::string> author = draw.author;
    if (request.subject) {
        author = authorOfLine(authorsPath, draw.line, result.failure);
        if (result.failure)
            return result;
    }
    if (author) {
        drawn.author.emplace();
        appendAsUtf8(*drawn.author, *author);
    }
    result.drawn = std::move(drawn);
    return result;
}

std::string drawnText(const DrawnQuotation &drawn)
{
    std::string text = drawn.text + '\n';
    if (drawn.author)
        text += "    \u2014 " + *drawn.author + '\n';
    return text;
}

} // namespace sayvane::terminal
