// SPDX-License-Identifier: MIT
// Writes a large, deterministic quotation collection for benchmarks:
//   make-collection [--utf8-lf] FOLDER SIZE
// (SIZE in bytes, or with a suffix: 10MB, 1GB). FOLDER/Data/authors.txt
// and FOLDER/Data/subjects.txt each of about SIZE bytes: quotation lines of
// 40 to 300 bytes, a heading about every 10 lines, a few indented and empty
// lines. The phrase "quintessential zephyr" stands in about one line in
// 100,000, and the authors file's last heading is "Last Author".
// By default the lines are Windows-1252 with CR LF, as classic editors
// write them; with --utf8-lf they are UTF-8 with LF, every quotation holding
// words of Cyrillic, Greek and accented Latin, some of CJK and an emoji,
// and the authors' names are Cyrillic, Greek and Latin.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// splitmix64: the same collection on every machine.
class Random
{
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t bound) { return std::size_t(next() % bound); }

private:
    std::uint64_t m_state;
};

// Words in Windows-1252; the first ones are drawn far more often.
const std::vector<std::string_view> kWords = {
    "the",
    "of",
    "and",
    "to",
    "a",
    "in",
    "is",
    "that",
    "it",
    "not",
    "who",
    "life",
    "love",
    "time",
    "man",
    "world",
    "heart",
    "mind",
    "truth",
    "all",
    "be",
    "we",
    "our",
    "his",
    "their",
    "nothing",
    "great",
    "wise",
    "never",
    "always",
    "only",
    "first",
    "last",
    "hope",
    "fear",
    "soul",
    "day",
    "night",
    "light",
    "darkness",
    "courage",
    "patience",
    "happiness",
    "virtue",
    "friend",
    "enemy",
    "work",
    "rest",
    "nature",
    "art",
    "knowledge",
    "ignorance",
    "beauty",
    "freedom",
    "peace",
    "war",
    "joy",
    "sorrow",
    "dream",
    "wisdom",
    "caf\xE9",
    "na\xEFve",
    "fa\xE7"
    "ade",
    "r\xF4le",
    "\xE9lan",
    "d\xE9j\xE0",
    "se\xF1or",
    "\xFC"
    "ber",
    "Zo\xEB",
    "cr\xE8me",
    "pi\xF1"
    "ata",
    "fianc\xE9",
    "r\xE9sum\xE9",
    "\xE2me",
    "c\x9Cur",
    "\x80uro",
    "Andr\xE9",
    "river",
    "mountain",
    "silence",
    "word",
    "deed",
    "laughter",
    "tears",
    "youth",
    "age",
    "gold",
    "bread",
    "garden",
    "road",
    "star",
    "sea",
    "fire",
    "stone",
    "rain",
    "wind",
    "bird",
    "tree",
    "seed",
    "harvest",
    "patient",
    "swift",
    "slow",
    "bright",
    "humble",
    "proud",
    "gentle",
    "brave",
    "honest",
    "kind",
    "bitter",
    "sweet",
    "learns",
    "gives",
    "takes",
    "keeps",
    "loses",
    "finds",
    "seeks",
    "waits",
    "grows",
    "speaks",
};

const std::vector<std::string_view> kFirstNames = {
    "Am\xE9lie", "Anselm",      "Beatrix",    "C\xE9line",  "Cyrus",     "Dorothea",   "\xC9mile",
    "Felix",     "Gr\xE9goire", "Helena",     "Ignatius",   "J\xF8rgen", "Klara",      "Lucien",
    "Margit",    "Nils",        "Oph\xE9lie", "Piet",       "Quentin",   "Ros\xE1lia", "Soren",
    "Th\xE9o",   "Ulrike",      "Valentin",   "Wilhelmina", "Xavier",    "Yvette",     "Zden\x9Ak",
};

const std::vector<std::string_view> kLastNames = {
    "Abernathy", "Bergstr\xF6m", "Castellano",   "Dubois",   "Eriksen",    "Fontaine", "Gallagher",
    "H\xE4nsel", "Ibarra",       "Jovanovi\xE6", "Kowalski", "Lef\xE8vre", "Morrison", "Nakamura",
    "O'Brien",   "Petrov",       "Quiroga",      "Rousseau", "Sch\xFCtz",  "Tanaka",   "Urquhart",
    "Vasquez",   "Whitfield",    "Ximenes",      "Yilmaz",
};

const std::vector<std::string_view> kSubjects = {
    "Courage", "Patience", "Hope",   "Love",     "Friendship", "Time", "Wisdom",     "Truth",   "Work",   "Nature",
    "Art",     "Freedom",  "Change", "Kindness", "Learning",   "Life", "Simplicity", "Success", "Virtue", "Humour",
};

// The UTF-8 collection's own words: each quotation begins with a Cyrillic
// word and holds a Greek and an accented Latin one; every fifth a CJK word
// or an emoji.
const std::vector<std::string_view> kCyrillicWords = {"мудрость", "жизнь", "любовь", "время", "сердце",
                                                      "правда",   "мир",   "свет",   "душа",  "надежда"};
const std::vector<std::string_view> kGreekWords = {"σοφία",   "ζωή",  "ἀγάπη", "χρόνος",
                                                   "ἀλήθεια", "ψυχή", "φῶς",   "ἐλπίς"};
const std::vector<std::string_view> kLatinWords = {"café",  "naïve", "cœur", "Straße", "déjà",
                                                   "señor", "über",  "rôle", "crème",  "résumé"};
const std::vector<std::string_view> kFarWords = {"心", "時間", "愛", "😀", "🌍", "智慧"};
const std::vector<std::string_view> kUtf8FirstNames = {"Лев",   "Фёдор", "Анна", "Ἡράκλειτος", "Σωκράτης",
                                                       "Émile", "Søren", "Zoë",  "José",       "Ярослав"};
const std::vector<std::string_view> kUtf8LastNames = {"Толстой", "Достоевский", "Ахматова", "Ἐφέσιος", "Ἀθηναῖος",
                                                      "Zola",    "Kierkegaard", "Brontë",   "Martí",   "Гашек"};
const std::vector<std::string_view> kUtf8Subjects = {"Мудрость", "Любовь", "Σοφία",  "Ἀλήθεια", "Café",
                                                     "Время",    "Ψυχή",   "Résumé", "心",      "Надежда"};

// What sets the two kinds of collection apart.
struct Style
{
    bool utf8;
    std::string_view lineEnd;
    const std::vector<std::string_view> &firstNames;
    const std::vector<std::string_view> &lastNames;
    const std::vector<std::string_view> &subjects;
};

const Style kClassicStyle{false, "\r\n", kFirstNames, kLastNames, kSubjects};
const Style kUtf8Style{true, "\n", kUtf8FirstNames, kUtf8LastNames, kUtf8Subjects};

constexpr std::string_view kRarePhrase = "quintessential zephyr";

std::string_view word(Random &random, bool utf8)
{
    // Two draws keep the small words frequent and the rest spread.
    const std::size_t bound = random.below(2) ? 24 : kWords.size();
    const std::string_view drawn = kWords[random.below(bound)];
    // Windows-1252 words are not UTF-8: the UTF-8 collection has its own.
    const bool windows1252 =
        std::any_of(drawn.begin(), drawn.end(), [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
    if (utf8 && windows1252)
        return kLatinWords[random.below(kLatinWords.size())];
    return drawn;
}

void appendQuote(std::string &out, Random &random, std::uint64_t lineNumber, const Style &style)
{
    const std::size_t roll = random.below(100);
    if (roll == 0) {
        out += style.lineEnd; // an empty line
        return;
    }
    if (roll < 3)
        out.append(2 + random.below(3), ' ');
    // Mostly short lines, one in five long: about 1,000,000 lines in 100 MB.
    const std::size_t target = random.below(5) == 0 ? 160 + random.below(141) : 40 + random.below(121);
    const std::size_t start = out.size();
    bool capital = true;
    bool rare = lineNumber % 100'000 == 50'000;
    std::size_t words = 0;
    while (out.size() - start + 12 < target) {
        std::string_view next = word(random, style.utf8);
        if (style.utf8) {
            if (words == 0)
                next = kCyrillicWords[random.below(kCyrillicWords.size())];
            else if (words == 2)
                next = kGreekWords[random.below(kGreekWords.size())];
            else if (words == 3)
                next = kLatinWords[random.below(kLatinWords.size())];
            else if (words == 4 && random.below(5) == 0)
                next = kFarWords[random.below(kFarWords.size())];
        }
        ++words;
        if (rare && out.size() - start > target / 2) {
            next = kRarePhrase;
            rare = false;
        }
        const std::size_t at = out.size();
        out += next;
        if (capital && out[at] >= 'a' && out[at] <= 'z')
            out[at] = char(out[at] - 'a' + 'A');
        capital = false;
        const std::size_t mark = random.below(20);
        if (mark == 0)
            out += ',';
        else if (mark == 1)
            out += ';';
        out += ' ';
    }
    static constexpr char kEnds[] = "...!?";
    out.back() = kEnds[random.below(5)];
    out += style.lineEnd;
}

bool writeFile(const std::filesystem::path &path, std::uint64_t size, bool authors, std::uint64_t seed,
               const Style &style)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    Random random(seed);
    std::string block;
    std::uint64_t written = 0, lineNumber = 0, headings = 0;
    std::size_t untilHeading = 0;
    while (written < size) {
        block.clear();
        while (block.size() < (1 << 20) && written + block.size() < size) {
            if (untilHeading == 0) {
                block += "##";
                if (authors) {
                    block += style.firstNames[random.below(style.firstNames.size())];
                    block += ' ';
                    block += style.lastNames[random.below(style.lastNames.size())];
                    block += ' ';
                    block += std::to_string(++headings);
                } else {
                    block += style.subjects[random.below(style.subjects.size())];
                }
                block += style.lineEnd;
                untilHeading = 5 + random.below(11);
            }
            appendQuote(block, random, ++lineNumber, style);
            --untilHeading;
        }
        if (authors && written + block.size() >= size) {
            block.append("##Last Author").append(style.lineEnd);
            block.append("The last quotation of the collection.").append(style.lineEnd);
        }
        file.write(block.data(), std::streamsize(block.size()));
        written += block.size();
    }
    return bool(file);
}

std::uint64_t parseSize(std::string text)
{
    std::uint64_t factor = 1;
    for (auto [suffix, value] :
         {std::pair{"GB", 1'000'000'000ull}, std::pair{"MB", 1'000'000ull}, std::pair{"KB", 1'000ull}}) {
        const std::string_view s(suffix);
        if (text.size() > s.size() && text.ends_with(s)) {
            factor = value;
            text.resize(text.size() - s.size());
        }
    }
    return std::strtoull(text.c_str(), nullptr, 10) * factor;
}

} // namespace

int main(int argc, char **argv)
{
    const bool utf8 = argc == 4 && std::string_view(argv[1]) == "--utf8-lf";
    if (argc != 3 && !utf8) {
        std::fprintf(stderr, "usage: make-collection [--utf8-lf] FOLDER SIZE\n");
        return 2;
    }
    const Style &style = utf8 ? kUtf8Style : kClassicStyle;
    const std::filesystem::path data = std::filesystem::path(argv[argc - 2]) / "Data";
    std::filesystem::create_directories(data);
    const std::uint64_t size = parseSize(argv[argc - 1]);
    if (!writeFile(data / "authors.txt", size, true, 1, style) ||
        !writeFile(data / "subjects.txt", size, false, 2, style)) {
        std::fprintf(stderr, "make-collection: cannot write into %s\n", data.c_str());
        return 1;
    }
    return 0;
}
