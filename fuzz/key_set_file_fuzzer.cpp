// Feeds arbitrary bytes to the key-set reader as the content of the key-set
// file, then checks the key set and the marks it leaves against the file's
// rules, and that the marks survive a save and a second read.
#include <QSet>

#include "FuzzSupport.h"
#include "keys/KeySetFile.h"
#include "keys/MarkedKeys.h"
#include "platform/fake/FakePlatform.h"

using namespace quindorel;
using quindorel::fuzz::expect;

namespace {

struct KeySetHarness {
    fuzz::FuzzEnvironment environment;
    FakePlatform platform;
    MarkedKeys marks;
    KeySetFile file{platform, marks, environment.programFolder};

    void unmarkAll() {
        for (int i = 0; i < kKeyCount; ++i) {
            marks.set(i, false, false);
        }
    }
    QSet<int> markedKeys() {
        QSet<int> marked;
        for (int i = 0; i < kKeyCount; ++i) {
            if (marks.marked(i)) {
                marked.insert(i);
            }
        }
        return marked;
    }
    QSet<int> read(const QByteArray& content) {
        unmarkAll();
        fuzz::FuzzEnvironment::writeFile(environment.keySetPath(), content);
        file.readKeySets();
        return markedKeys();
    }
};

// The keys the file names: every element but the last, compared exactly with each key's code.
QSet<int> keysNamedBy(const QStringList& elements) {
    QSet<int> named;
    for (qsizetype j = 0; j + 1 < elements.size(); ++j) {
        for (int i = 0; i < kKeyCount; ++i) {
            if (elements.at(j) == QString::number(keyTable()[std::size_t(i)].code)) {
                named.insert(i);
            }
        }
    }
    return named;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static KeySetHarness* harness = new KeySetHarness;
    if (size > static_cast<size_t>(KeySetFile::kMaxFileSize)) {
        return -1;  // the reader refuses such files by design
    }
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    harness->platform.messages.clear();

    // Splitting loses nothing but the line ends, and only commas separate.
    const QStringList elements = KeySetFile::split(content);
    QByteArray joined = content;
    joined.replace('\r', QByteArray()).replace('\n', QByteArray());
    expect(elements.join(QLatin1Char(',')) == QString::fromLatin1(joined), "split lost text");
    expect(elements.size() == (joined.isEmpty() ? 0 : joined.count(',') + 1),
           "split gave the wrong number of elements");

    const QSet<int> marked = harness->read(content);
    expect(harness->platform.messages.isEmpty(), "reading a small file reported an error",
           harness->platform.messageTexts().join(QLatin1Char('\n')));
    expect(harness->file.keySet() == elements, "key set is not the split file");
    expect(marked == keysNamedBy(elements), "wrong keys marked");

    // The marks, saved and read back, marks the same keys.
    const QByteArray saved = harness->marks.line() + "\r\n";
    expect(harness->read(saved) == marked, "marks changed through a save and a read");
    expect(harness->platform.messages.isEmpty(), "reading a saved file reported an error");
    return 0;
}
