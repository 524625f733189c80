#include "table_bench_data.h"

#include "table/table.h"
#include "table_bench_fields.h"

#include <array>

namespace benchfixture {
namespace {

// Surnames repeat, as in a real collection; a few contain "smith" in some letter case so that
// the substring count has something to find.
constexpr std::array kSurnames = {
    "Austen",     "Dickens", "Twain",    "Tolstoy",   "Brontë",   "Müller",    "García",
    "Hemingway",  "Woolf",   "Orwell",   "Smith",     "Joyce",    "Nabokov",   "Camus",
    "Dostoevsky", "Eliot",   "Faulkner", "Hardy",     "Kafka",    "Melville",  "Poe",
    "Zola",       "Verne",   "Dumas",    "Hugo",      "Goethe",   "Mann",      "Hesse",
    "Borges",     "Márquez", "Calvino",  "Eco",       "Pérez",    "Gödel",     "Ørsted",
    "Goldsmith",  "Lewis",   "Tolkien",  "Christie",  "Doyle",    "Wodehouse", "Chesterton",
    "Conrad",     "Forster", "Lawrence", "Steinbeck", "Salinger", "Vonnegut",  "Atwood",
    "Munro",      "Rushdie", "Ishiguro", "Smithson",  "O'Brien",  "McCarthy",  "Åberg"};
constexpr std::array kGivenNames = {"John",   "Jane",   "Mary",   "Charles",  "Émile",
                                    "Jürgen", "Thomas", "Anne",   "Virginia", "George",
                                    "Franz",  "Leo",    "Albert", "Chloë",    "William",
                                    "Zoë",    "Herman", "Edgar",  "Jorge",    "Italo"};
constexpr std::array kTitleWords = {
    "Shadow", "River",   "Garden",     "Winter", "Journey", "Letters", "Silence", "Mirror",
    "Empire", "Ocean",   "Mountain",   "Night",  "Café",    "Château", "Fiancée", "Harbour",
    "Secret", "Orchard", "Lighthouse", "Storm",  "Voyage",  "Memory",  "Island",  "Crown"};
constexpr std::array kPublishers = {
    "Penguin Books", "Faber & Faber",           "Random House",  "Gallimard", "Éditions du Seuil",
    "Suhrkamp",      "Oxford University Press", "HarperCollins", "Vintage",   "Knopf"};
constexpr std::array kCategories = {"Fiction", "History", "Poetry",     "Biography", "Science",
                                    "Travel",  "Art",     "Philosophy", "Children",  "Reference"};
constexpr std::array kConditions = {"Fine", "Very Good", "Good", "Fair", "Poor", ""};
constexpr std::array kBookTypes = {"Hardcover", "Paperback", "Leather", "Folio", ""};
constexpr std::array kLocations = {"Study shelf 1", "Study shelf 2", "Attic box A",
                                   "Lounge",        "Bedroom",       "Office"};

template <typename Array> const char* pick(Random& random, const Array& choices) {
    return choices[static_cast<size_t>(random.below(static_cast<int>(choices.size())))];
}

FieldValue text(std::string value) {
    if (value.empty())
        return {};
    return {FieldValue::Kind::Text, std::move(value), 0, {}};
}
FieldValue number(double value) {
    return {FieldValue::Kind::Number, {}, value, {}};
}
FieldValue dateValue(table::Date value) {
    if (value.isNull())
        return {};
    return {FieldValue::Kind::Date, {}, 0, value};
}
double money(Random& random, int maxDollars) {
    return random.below(maxDollars) + random.below(100) / 100.0;
}

} // namespace

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Random::below(int bound) {
    return static_cast<int>(next() % static_cast<uint64_t>(bound));
}

std::string SyntheticBooks::author() {
    std::string name = pick(random_, kSurnames);
    if (random_.chance(1))
        name = random_.chance(50) ? "SMITH" : "Smith"; // lift the match rate to a few percent
    return name + ", " + pick(random_, kGivenNames);
}

std::string SyntheticBooks::title() {
    std::string result = std::string("The ") + pick(random_, kTitleWords);
    int extraWords = random_.below(4);
    for (int i = 0; i < extraWords; ++i)
        result += std::string(i == 0 ? " of the " : " and ") + pick(random_, kTitleWords);
    return result;
}

table::Date SyntheticBooks::date(int firstYear, int lastYear) {
    int year = firstYear + random_.below(lastYear - firstYear + 1);
    int month = 1 + random_.below(12);
    int day = 1 + random_.below(28);
    return {year, month, day};
}

Book SyntheticBooks::next() {
    ++serial_;
    Book book(bookFields().size());
    book[0] = text(title());
    book[1] = text(author());
    book[2] = number(1850 + random_.below(176));
    book[3] = text(pick(random_, kPublishers));
    book[4] = text(pick(random_, kCategories));
    book[5] = text(random_.chance(70) ? "Second-hand shop" : "");
    book[6] = number(money(random_, 200));
    book[7] = random_.chance(80) ? number(money(random_, 500)) : FieldValue{};
    book[8] = text(random_.chance(50) ? "A well-kept copy with a few pencil notes" : "");
    book[9] = text("978-" + std::to_string(100000000 + random_.below(899999999)));
    book[10] = text(random_.chance(60) ? std::string(1 + random_.below(5), '*') : "");
    book[11] = dateValue(random_.chance(90) ? date(1970, 2025) : table::Date{});
    book[12] = text(pick(random_, kBookTypes));
    book[13] = text("C" + std::to_string(serial_));
    book[14] = text(random_.chance(30) ? "Sub" + std::to_string(random_.below(100)) : "");
    book[16] = text(random_.chance(5) ? "Yes" : "No");
    if (book[16].text == "Yes") {
        book[17] = dateValue(date(2020, 2025));
        book[18] = text(std::string(pick(random_, kGivenNames)) + " Dupré");
    }
    book[21] = text(random_.chance(40) ? "1st" : "");
    book[22] = text(random_.chance(30) ? "classic; rare; signed" : "");
    book[23] = number(50 + random_.below(1200));
    book[24] = text(pick(random_, kLocations));
    book[25] = text(pick(random_, kConditions));
    book[28] = number(money(random_, 100));
    book[29] = number(money(random_, 900));
    book[30] = text(random_.chance(10) ? "Gift from Renée" : "");
    return book;
}

void setBookFields(table::Table& books, const Book& book) {
    for (size_t i = 0; i < book.size(); ++i) {
        int index = static_cast<int>(i);
        const FieldValue& value = book[i];
        switch (value.kind) {
        case FieldValue::Kind::Blank:
            books.setBlank(index);
            break;
        case FieldValue::Kind::Text:
            books.setText(index, value.text);
            break;
        case FieldValue::Kind::Number:
            books.setNumber(index, value.number);
            break;
        case FieldValue::Kind::Date:
            books.setDate(index, value.date);
            break;
        }
    }
}

} // namespace benchfixture
