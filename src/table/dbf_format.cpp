#include "dbf_format.h"

#include "table_error.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace table {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr size_t kDbase7HeaderSize = 68;
constexpr size_t kDbase7DescriptorSize = 48;
// dBASE II: 8-byte header, room for 32 descriptors of 16 bytes, terminator.
constexpr size_t kDbase2DescriptorSize = 16;
constexpr uint32_t kDbase2HeaderLength = 8 + 32 * kDbase2DescriptorSize + 1;

uint16_t readU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t readU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

[[noreturn]] void notATable(const std::string& fileName, const std::string& why) {
    throw TableError(fileName + " is not a dBASE table: " + why + ".");
}

// Field names are ASCII in every dialect; anything else is shown as '?' so a hostile header
// can never put invalid UTF-8 or control characters into a message or a grid title.
std::string fieldName(const uint8_t* bytes, size_t maxLength) {
    std::string name;
    for (size_t i = 0; i < maxLength && bytes[i] != 0; ++i) {
        name += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '?';
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

Date headerDate(uint8_t yearByte, uint8_t month, uint8_t day) {
    // dBASE stores year - 1900; FoxPro often the year modulo 100.
    const int year = yearByte < 80 ? 2000 + yearByte : 1900 + yearByte;
    return isValidDate(year, month, day) ? Date{year, month, day} : Date{};
}

MemoKind memoKindOf(uint8_t version, bool visualFoxPro) {
    switch (version) {
    case 0x83:
    case 0xFB:
        return MemoKind::Dbt3;
    case 0x8B:
    case 0x8C:
    case 0x8E:
    case 0xCB:
        return MemoKind::Dbt4;
    case 0xF5:
        return MemoKind::Fpt;
    default:
        return visualFoxPro ? MemoKind::Fpt : MemoKind::None;
    }
}

bool isKnownVersion(uint8_t version) {
    const int level = version & 0x07;
    return level == 3 || level == 4 || version == 0x02 || version == 0x30 || version == 0x31 ||
           version == 0x32 || version == 0x8E || version == 0xF5;
}

bool isDescriptorEnd(uint8_t byte) {
    // 0x0D is the terminator; one writer in the wild ends the list with 0x0A instead.
    return byte == 0x0D || byte == 0x0A;
}

void parseDbase2(std::span<const uint8_t> file, DbfHeader& header, const std::string& fileName) {
    if (file.size() < kDbase2HeaderLength) {
        notATable(fileName, "the header is truncated");
    }
    header.recordCount = readU16(&file[1]);
    header.lastUpdate = headerDate(file[3], file[4], file[5]);
    header.recordLength = readU16(&file[6]);
    header.headerLength = kDbase2HeaderLength;
    for (size_t pos = 8; pos + kDbase2DescriptorSize < kDbase2HeaderLength; pos += 16) {
        if (isDescriptorEnd(file[pos])) {
            break;
        }
        FieldDescriptor field;
        field.name = fieldName(&file[pos], 11);
        field.type = static_cast<char>(file[pos + 11]);
        field.length = file[pos + 12];
        field.decimals = file[pos + 15];
        header.fields.push_back(field);
    }
}

void parseDescriptors(std::span<const uint8_t> file, DbfHeader& header) {
    const size_t start = header.dbase7 ? kDbase7HeaderSize : kHeaderSize;
    const size_t step = header.dbase7 ? kDbase7DescriptorSize : kDescriptorSize;
    // Descriptors never reach past the header length, whatever the terminator says.
    for (size_t pos = start; pos + step <= header.headerLength; pos += step) {
        const uint8_t* descriptor = &file[pos];
        if (isDescriptorEnd(descriptor[0])) {
            break;
        }
        FieldDescriptor field;
        if (header.dbase7) {
            field.name = fieldName(descriptor, 32);
            field.type = static_cast<char>(descriptor[32]);
            field.length = descriptor[33];
            field.decimals = descriptor[34];
        } else {
            field.name = fieldName(descriptor, 11);
            field.type = static_cast<char>(descriptor[11]);
            field.length = descriptor[16];
            field.decimals = descriptor[17];
            field.foxFlags = header.visualFoxPro ? descriptor[18] : 0;
            // FoxPro and Clipper keep the high byte of a long text field's width in the
            // decimals byte; a dBASE C field always has 0 there, so this is safe for all.
            if (field.type == 'C' && field.decimals != 0) {
                field.length += 256u * field.decimals;
                field.decimals = 0;
            }
        }
        field.dbase7 = header.dbase7;
        field.hidden = field.type == '0' || (field.foxFlags & 0x01) != 0;
        header.fields.push_back(field);
    }
}

void placeFields(DbfHeader& header, const std::string& fileName) {
    uint64_t offset = 1;
    for (auto& field : header.fields) {
        if (field.length == 0) {
            notATable(fileName, "the field " + field.name + " has no width");
        }
        field.offset = static_cast<uint32_t>(offset);
        offset += field.length;
    }
    if (offset > header.recordLength) {
        notATable(fileName, "the fields do not fit the record length");
    }
}

void checkRecordsPresent(const DbfHeader& header, uint64_t fileSize, const std::string& fileName) {
    const uint64_t available = fileSize - header.headerLength;
    const uint64_t present = available / header.recordLength;
    if (present < header.recordCount) {
        throw TableError(fileName + " is truncated: its header counts " +
                         std::to_string(header.recordCount) + " records but the file holds " +
                         std::to_string(present) + ".");
    }
}

} // namespace

uint32_t dbfHeaderLengthOf(std::span<const uint8_t> file) {
    if (file.size() < 12) {
        return 0;
    }
    return file[0] == 0x02 ? kDbase2HeaderLength : readU16(&file[8]);
}

DbfHeader parseDbfHeader(std::span<const uint8_t> file, uint64_t fileSize,
                         const std::string& fileName) {
    if (file.size() > fileSize) {
        file = file.first(static_cast<size_t>(fileSize));
    }
    if (file.size() < 12) {
        notATable(fileName, "the header is truncated");
    }
    DbfHeader header;
    header.version = file[0];
    if (!isKnownVersion(header.version)) {
        char why[48];
        std::snprintf(why, sizeof why, "the version byte 0x%02X is unknown", header.version);
        notATable(fileName, why);
    }
    if (header.version == 0x02) {
        parseDbase2(file, header, fileName);
    } else {
        header.dbase7 = (header.version & 0x07) == 4;
        header.visualFoxPro = header.version >= 0x30 && header.version <= 0x32;
        header.headerLength = readU16(&file[8]);
        header.recordLength = readU16(&file[10]);
        const size_t minimum = header.dbase7 ? kDbase7HeaderSize : kHeaderSize;
        if (file.size() < minimum || file.size() < header.headerLength) {
            notATable(fileName, "the header is truncated");
        }
        if (header.headerLength < minimum + 1) {
            notATable(fileName, "the header length is too small");
        }
        header.lastUpdate = headerDate(file[1], file[2], file[3]);
        header.recordCount = readU32(&file[4]);
        header.productionIndexFlag = file[28];
        header.languageDriver = file[29];
        parseDescriptors(file, header);
    }
    header.codepage = codepageFromLanguageDriver(header.languageDriver);
    header.memoKind = memoKindOf(header.version, header.visualFoxPro);
    if (header.recordLength == 0) {
        notATable(fileName, "the record length is 0");
    }
    placeFields(header, fileName);
    checkRecordsPresent(header, fileSize, fileName);
    return header;
}

namespace {

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

void checkFieldName(const std::string& name) {
    const bool startsWithLetter =
        !name.empty() && std::isalpha(static_cast<unsigned char>(name[0]));
    const bool allNameCharacters = std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return c < 0x80 && (std::isalnum(c) || c == '_');
    });
    if (!startsWithLetter || !allNameCharacters || name.size() > 10) {
        throw TableError("'" + name + "' is not a valid field name: use up to 10 letters, " +
                         "digits or underscores, starting with a letter.");
    }
}

// Width and decimals a field definition ends up with, or an error naming the field.
FieldDef checkedDefinition(const FieldDef& def) {
    FieldDef checked = def;
    checked.name = upperAscii(def.name);
    const auto fail = [&](const std::string& why) {
        throw TableError("The field " + checked.name + " cannot be created: " + why + ".");
    };
    switch (def.type) {
    case 'C':
        if (def.length < 1 || def.length > 254 || def.decimals != 0) {
            fail("a text field is 1 to 254 characters wide");
        }
        break;
    case 'N':
    case 'F':
        if (def.length < 1 || def.length > 20 ||
            (def.decimals > 0 && def.decimals + 2u > def.length)) {
            fail("a number field is 1 to 20 characters wide with room for its decimals");
        }
        break;
    case 'D':
        checked.length = 8;
        checked.decimals = 0;
        break;
    case 'L':
        checked.length = 1;
        checked.decimals = 0;
        break;
    default:
        fail(std::string("the type '") + def.type + "' is not supported");
    }
    return checked;
}

} // namespace

std::vector<uint8_t> buildDbfHeader(const std::vector<FieldDef>& fields, const Date& today,
                                    bool productionIndex) {
    std::vector<FieldDef> defs;
    std::set<std::string> names;
    uint32_t recordLength = 1;
    for (const auto& def : fields) {
        checkFieldName(def.name);
        defs.push_back(checkedDefinition(def));
        if (!names.insert(defs.back().name).second) {
            throw TableError("The field name " + defs.back().name + " is used twice.");
        }
        recordLength += defs.back().length;
    }
    const size_t headerLength = kHeaderSize + kDescriptorSize * defs.size() + 1;
    if (headerLength > 0xFFFF || recordLength > 0xFFFF) {
        throw TableError("A table cannot hold this many fields.");
    }
    std::vector<uint8_t> header(headerLength, 0);
    header[0] = 0x03;
    writeLastUpdate(header.data(), today);
    writeRecordCount(header.data(), 0);
    header[8] = static_cast<uint8_t>(headerLength & 0xFF);
    header[9] = static_cast<uint8_t>(headerLength >> 8);
    header[10] = static_cast<uint8_t>(recordLength & 0xFF);
    header[11] = static_cast<uint8_t>(recordLength >> 8);
    header[kProductionIndexFlagOffset] = productionIndex ? 1 : 0;
    header[29] = languageDriverFor(Codepage::Cp1252);
    for (size_t i = 0; i < defs.size(); ++i) {
        uint8_t* descriptor = &header[kHeaderSize + i * kDescriptorSize];
        std::copy(defs[i].name.begin(), defs[i].name.end(), descriptor);
        descriptor[11] = static_cast<uint8_t>(defs[i].type);
        descriptor[16] = static_cast<uint8_t>(defs[i].length);
        descriptor[17] = defs[i].decimals;
    }
    header.back() = 0x0D;
    return header;
}

void writeRecordCount(uint8_t* header, uint32_t recordCount) {
    for (size_t i = 0; i < 4; ++i) {
        header[kRecordCountOffset + i] = static_cast<uint8_t>(recordCount >> (8 * i));
    }
}

void writeLastUpdate(uint8_t* header, const Date& today) {
    if (today.isNull()) {
        return;
    }
    header[kLastUpdateOffset] = static_cast<uint8_t>(std::clamp(today.year - 1900, 0, 255));
    header[kLastUpdateOffset + 1] = static_cast<uint8_t>(today.month);
    header[kLastUpdateOffset + 2] = static_cast<uint8_t>(today.day);
}

} // namespace table
