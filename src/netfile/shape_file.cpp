// The node shape file reader and the program-wide shape list.
#include "netfile/shape_file.h"

#include "containers/chunk_list.h"
#include "diagnostics/error_report.h"
#include "memory/size_class_heap.h"
#include "netfile/word_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tarvo {
namespace {

constexpr int kShapesPerBlock = 10;

// The list's blocks own each record's name, points and kinds.
class ShapeList : public ChunkList {
public:
    ShapeList() : ChunkList(sizeof(ShapeRecord), kShapesPerBlock) { ownsElements = 1; }
    ChunkList* makeBlock() const override { return new ShapeList; }
    void destroyElement(void* element) override {
        ShapeRecord record;
        std::memcpy(&record, element, sizeof record);
        Release(record.name);
        Release(record.points);
        Release(record.kinds);
    }
};

bool beginsWithDigit(const char* word) {
    return word[0] >= '0' && word[0] <= '9';
}

// A number of the file as an integer, towards zero; numbers beyond the 32-bit range stop at
// its ends instead of wrapping.
std::int32_t truncated(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::uint8_t flagsOf(const char* word) {
    std::uint8_t flags = 0;
    for (const char* c = word; *c; ++c) {
        switch (*c) {
        case 'C':
            flags |= ShapeFlags::Chord;
            break;
        case 'E':
            flags |= ShapeFlags::Ellipse;
            break;
        case 'R':
            flags |= ShapeFlags::RoundRect;
            break;
        case 'r':
            flags |= ShapeFlags::Turn;
            break;
        default:
            break;
        }
    }
    return flags;
}

// The join kind a one-letter word sets, or -1 when the word is no such letter.
int kindOf(const char* word) {
    if (!word[0] || word[1])
        return -1;
    const char* letters = "mlvc";
    const char* at = std::strchr(letters, word[0]);
    return at ? static_cast<int>(at - letters) : -1;
}

void releaseShapes(ShapeFileState& state) {
    state.regionCache.clear();
    if (state.shapes)
        state.shapes->destroy();
    state.shapes = nullptr;
    state.shapeCount = 0;
}

class ShapeReader {
public:
    ShapeReader(ShapeFileState& state, WordStream& in) : m_state(state), m_in(in) {}

    void run() {
        ShapeFileState& state = m_state;
        state.unit = truncated(m_in.readNumber());
        takeName(m_in.readWord());
        if (m_name[0] && state.unit <= 0) {
            m_in.reportProblem(
                "The shape file's first number, its unit, is not above 0: no shapes read.");
            return;
        }
        while (m_name[0] && readShape())
            ++state.shapeCount;
    }

private:
    void takeName(const char* word) { std::snprintf(m_name, sizeof m_name, "%s", word); }

    // Reads the shape named m_name and appends it; the word that ends it names the next one.
    // False when there was no point to store, or no memory to store them.
    bool readShape() {
        const std::int32_t sizeValue = truncated(m_in.readNumber());
        std::uint8_t flags = 0;
        const char* word = m_in.readWord();
        if (!beginsWithDigit(word)) {
            flags = flagsOf(word);
            word = m_in.readWord();
        }
        std::uint8_t kind = JoinKind::Move;
        int count = 0;
        bool cut = false;
        for (; word[0]; word = m_in.readWord()) {
            if (beginsWithDigit(word)) {
                // Converted before the next read reuses the scratch buffer that holds it.
                const std::int32_t x = truncated(WordNumber(word));
                const std::int32_t y = truncated(m_in.readNumber());
                if (count == kMaxShapePoints) {
                    cut = true;
                    continue;
                }
                m_points[count] = {x, y};
                m_kinds[count++] = kind;
            } else if (const int letter = kindOf(word); letter >= 0) {
                kind = static_cast<std::uint8_t>(letter);
                if (kind >= JoinKind::Convex)
                    flags |= ShapeFlags::HasArcs;
            } else {
                break;
            }
        }
        if (count == 0)
            return false;
        if (cut)
            reportCut();
        m_kinds[count] = JoinKind::Move;
        const bool stored = append(flags, count, sizeValue);
        takeName(word);
        return stored;
    }

    void reportCut() const {
        char text[kErrorMessageBytes];
        std::snprintf(text, sizeof text,
                      "Shape \"%.60s\" has more than %d points: only its first %d are used.",
                      m_name, kMaxShapePoints, kMaxShapePoints);
        m_in.reportProblem(text);
    }

    bool append(std::uint8_t flags, int count, std::int32_t sizeValue) {
        const auto pointBytes = static_cast<std::int32_t>(sizeof(ShapePoint)) * count;
        ShapeRecord record{DupString(m_name),
                           static_cast<ShapePoint*>(Allocate(pointBytes)),
                           static_cast<std::uint8_t*>(Allocate(count + 1)),
                           count,
                           sizeValue,
                           flags};
        ShapeFileState& state = m_state;
        if (record.name && record.points && record.kinds) {
            std::memcpy(record.points, m_points, static_cast<std::size_t>(pointBytes));
            std::memcpy(record.kinds, m_kinds, static_cast<std::size_t>(count) + 1);
            if (state.shapes->append(&record))
                return true;
        }
        Release(record.name);
        Release(record.points);
        Release(record.kinds);
        return false;
    }

    ShapeFileState& m_state;
    WordStream& m_in;
    char m_name[kScratchBufferBytes] = {};
    ShapePoint m_points[kMaxShapePoints] = {};
    std::uint8_t m_kinds[kMaxShapePoints + 1] = {};
};

} // namespace

ShapeFileState::~ShapeFileState() {
    releaseShapes(*this);
}

ShapeFileState& shapesOf(Network& net) {
    std::unique_ptr<NetworkPart>& part = net.shapesPart();
    if (!part)
        part = std::make_unique<ShapeFileState>();
    return static_cast<ShapeFileState&>(*part);
}

void ReadShapeFile(ShapeFileState& state, const char* path, Diagnostics* problems) {
    std::FILE* file = path ? std::fopen(path, "r") : nullptr;
    ReadShapeStream(state, file, problems);
    if (file)
        std::fclose(file);
}

void ReadShapeStream(ShapeFileState& state, std::FILE* file, Diagnostics* problems) {
    releaseShapes(state);
    ++state.generation;
    state.unit = 0;
    state.shapes = new ShapeList;
    if (file && state.shapes) {
        WordStream in(file, problems);
        ShapeReader(state, in).run();
    }
    state.regionCache.resize(static_cast<std::size_t>(state.shapeCount));
}

const ShapeRecord* ShapeAt(const ShapeFileState& state, int index) {
    if (!state.shapes || index < 0 || index >= state.shapeCount)
        return nullptr;
    return static_cast<const ShapeRecord*>(state.shapes->elementAt(index));
}

void ReleaseShapeRegions(ShapeFileState& state) {
    for (auto& region : state.regionCache)
        region.reset();
}

void ReleaseShapeList(ShapeFileState& state) {
    releaseShapes(state);
    ++state.generation;
}

} // namespace tarvo
