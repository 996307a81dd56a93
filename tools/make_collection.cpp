// SPDX-License-Identifier: MIT
// Writes a large, deterministic quotation collection for benchmarks:
//   make-collection FOLDER SIZE   (SIZE in bytes, or with a suffix: 10MB, 1GB)
// FOLDER/Data/authors.txt and FOLDER/Data/subjects.txt each of about SIZE
// bytes: Windows-1252 quotation lines of 40 to 300 bytes with CR LF, a
// heading about every 10 lines, a few indented and empty lines. The phrase
// "quintessential zephyr" stands in about one line in 100,000, and the
// authors file's last heading is "Last Author".
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

constexpr std::string_view kRarePhrase = "quintessential zephyr";

std::string_view word(Random &random)
{
    // Two draws keep the small words frequent and the rest spread.
    const std::size_t bound = random.below(2) ? 24 : kWords.size();
    return kWords[random.below(bound)];
}

void appendQuote(std::string &out, Random &random, std::uint64_t lineNumber)
{
    const std::size_t roll = random.below(100);
    if (roll == 0) {
        out += "\r\n"; // an empty line
        return;
    }
    if (roll < 3)
        out.append(2 + random.below(3), ' ');
    // Mostly short lines, one in five long: about 1,000,000 lines in 100 MB.
    const std::size_t target = random.below(5) == 0 ? 160 + random.below(141) : 40 + random.below(121);
    const std::size_t start = out.size();
    bool capital = true;
    bool rare = lineNumber % 100'000 == 50'000;
    while (out.size() - start + 12 < target) {
        std::string_view next = word(random);
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
    out += "\r\n";
}

bool writeFile(const std::filesystem::path &path, std::uint64_t size, bool authors, std::uint64_t seed)
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
                    block += kFirstNames[random.below(kFirstNames.size())];
                    block += ' ';
                    block += kLastNames[random.below(kLastNames.size())];
                    block += ' ';
                    block += std::to_string(++headings);
                } else {
                    block += kSubjects[random.below(kSubjects.size())];
                }
                block += "\r\n";
                untilHeading = 5 + random.below(11);
            }
            appendQuote(block, random, ++lineNumber);
            --untilHeading;
        }
        if (authors && written + block.size() >= size)
            block += "##Last Author\r\nThe last quotation of the collection.\r\n";
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-collection FOLDER SIZE\n");
        return 2;
    }
    const std::filesystem::path data = std::filesystem::path(argv[1]) / "Data";
    std::filesystem::create_directories(data);
    const std::uint64_t size = parseSize(argv[2]);
    if (!writeFile(data / "authors.txt", size, true, 1) || !writeFile(data / "subjects.txt", size, false, 2)) {
        std::fprintf(stderr, "make-collection: cannot write into %s\n", data.c_str());
        return 1;
    }
    return 0;
}
