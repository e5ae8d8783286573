// The check of a whole replay log: the reader's own line rules (readLogLine, splitLine, stampTime), the world
// resets that missing stamps cause, and look-ups of every id an event names in the model built so far.
// Line numbers count every line of the file, including the blank lines that the reader skips.
#include "tools/log_check.h"

#include <optional>

#include "app/globals.h"
#include "app/playback.h"
#include "world/interpreter.h"
#include "world/world_model.h"

namespace {

// [SECTION] Lines with their numbers

// Reads lines as the reader does and tells each one's line number, from the newlines it went past.
class NumberedReader {
public:
    explicit NumberedReader(std::FILE* file) : file_(file) {}

    // The number of the line that the next read starts on.
    std::int64_t nextNumber() const { return nextNumber_; }

    std::optional<std::string> read()
    {
        const long start = std::ftell(file_);
        std::optional<std::string> line = readLogLine(file_);
        const long end = std::ftell(file_);
        if (start < 0 || end < start) {
            // A stream without positions (a pipe): count the lines read instead.
            ++nextNumber_;
            return line;
        }
        std::fseek(file_, start, SEEK_SET);
        for (long at = start; at < end; ++at)
            nextNumber_ += std::getc(file_) == '\n' ? 1 : 0;
        return line;
    }

private:
    std::FILE* file_;
    std::int64_t nextNumber_ = 1;
};

// [SECTION] Look-ups in the model built so far

template <class T>
bool listHasId(const PtrList<T>& list, std::int32_t id)
{
    for (std::int32_t i = 0; i < list.count - 1; ++i)
        if (list.items[i]->id == id)
            return true;
    return false;
}

std::string missing(const char* what, std::int32_t id)
{
    return std::string("no ") + what + " with id " + std::to_string(id);
}

// A text from the log in quotes, printable ASCII only: control bytes in a log must not reach the terminal.
std::string quoted(const std::string& text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out + '"';
}

std::string unknownKind(const Fields& fields)
{
    return "unknown kind " + quoted(fields[1]) + " for " + fields[0];
}

// The problem of a "DESTROYED" line: the record must be in the list its kind is removed from.
std::string destroyProblem(const Fields& fields)
{
    const std::int32_t id = readInt(fields[2]);
    const std::string& kind = fields[1];
    if (kind == "SOLDIER")
        return listHasId(g.soldierList, id) ? "" : missing("soldier", id);
    if (kind == "VEHICLE")
        return listHasId(g.vehicleList, id) ? "" : missing("vehicle", id);
    if (kind == "BUILDING")
        return listHasId(g.buildingList, id) ? "" : missing("building", id);
    if (kind == "OBJECT")
        return listHasId(g.entityList, id) ? "" : missing("record", id);
    return unknownKind(fields);
}

std::string damageProblem(const Fields& fields)
{
    if (fields[1] != "SOLDIER")
        return unknownKind(fields);
    const std::int32_t victim = readInt(fields[2]);
    const std::int32_t attacker = readInt(fields[8]);
    if (!listHasId(g.soldierList, victim))
        return missing("soldier", victim);
    if (!listHasId(g.soldierList, attacker) && !listHasId(g.entityList, attacker))
        return missing("record", attacker) + " (the attacker)";
    return {};
}

std::string positionProblem(const Fields& fields)
{
    const std::int32_t id = readInt(fields[2]);
    if (fields[1] == "SOLDIER")
        return listHasId(g.soldierList, id) ? "" : missing("soldier", id);
    if (fields[1] == "VEHICLE")
        return listHasId(g.vehicleList, id) ? "" : missing("vehicle", id);
    return unknownKind(fields);
}

std::string seatProblem(const Fields& fields, bool entering)
{
    const std::int32_t vehicle = readInt(fields[1]);
    const std::int32_t soldier = readInt(fields[6]);
    // Leaving still takes the soldier off any vehicle when the vehicle is gone, so only entering needs it.
    if (entering && !listHasId(g.vehicleList, vehicle))
        return missing("vehicle", vehicle);
    return listHasId(g.soldierList, soldier) ? "" : missing("soldier", soldier);
}

}  // namespace

// [SECTION] The check

std::string eventProblem(const Fields& fields)
{
    const std::string& event = fields[0];
    if (event.empty())
        return "no event token";
    if (event == "CREATED") {
        const std::string& kind = fields[1];
        return kind == "SOLDIER" || kind == "VEHICLE" || kind == "BUILDING" || kind == "OBJECT" ? ""
                                                                                                : unknownKind(fields);
    }
    if (event == "DESTROYED")
        return destroyProblem(fields);
    if (event == "KILLED")
        return {};
    if (event == "DAMAGED")
        return damageProblem(fields);
    if (event == "POS")
        return positionProblem(fields);
    if (readDouble(event) != 0.0 || event == "CONFIG" || event == "WIN")
        return {};
    if (event == "CHAT") {
        if (fields[1] != "PUBLIC" && fields[1] != "TEAM")
            return unknownKind(fields);
        const std::int32_t speaker = readInt(fields[2]);
        return listHasId(g.soldierList, speaker) ? "" : missing("soldier", speaker);
    }
    if (event == "ENTER" || event == "EXIT")
        return seatProblem(fields, event == "ENTER");
    return "unknown event " + quoted(event);
}

std::vector<LogProblem> checkLog(std::FILE* file)
{
    std::vector<LogProblem> problems;
    NumberedReader reader(file);
    std::int64_t number = reader.nextNumber();
    std::string current = reader.read().value_or("");
    std::int64_t nextNumber = reader.nextNumber();
    std::optional<std::string> next = reader.read();
    for (;;) {
        std::optional<SplitLine> split = splitLine(current);
        if (!split) {
            problems.push_back({number, "empty, or begins with a blank: playback ends here"});
            break;
        }
        std::string reasons;
        auto note = [&reasons](const std::string& reason) {
            if (!reason.empty())
                reasons += (reasons.empty() ? "" : "; ") + reason;
        };
        // Playback resets the world for a line without a stamp, and again for its look-ahead, before applying.
        if (!stampTime(current)) {
            note("no stamp: the world model is reset here");
            resetWorld();
        }
        if (next && !stampTime(*next))
            resetWorld();
        note(eventProblem(split->fields));
        if (!reasons.empty())
            problems.push_back({number, reasons});
        applyEvent(split->fields);
        if (!next)
            break;
        current = std::move(*next);
        number = nextNumber;
        nextNumber = reader.nextNumber();
        next = reader.read();
    }
    return problems;
}
