// The per-user registry key where the program keeps its settings.

#include "RegistryText.h"
#include "Tests.h"

namespace quindorel::test {

namespace {

const wchar_t kSettingsKey[] = L"Software\\Marvenhal\\Quindorel";
// A value of the test's own, removed again, so that a real installation's
// settings are left as they were.
const wchar_t kTestValue[] = L"QuindorelTestValue";

void roundTrip(TestContext& context) {
    const RegistryText store(kSettingsKey);
    const std::wstring texts[] = {L"5", L"", L"Gr\u00fc\u00dfe, 12 s"};
    for (const std::wstring& text : texts) {
        context.expect(store.write(kTestValue, text), "write failed");
        context.expect(store.read(kTestValue, L"default") == text, "read back another text");
    }
    context.expect(store.remove(kTestValue), "remove failed");
}

void missingValueReadsAsDefault(TestContext& context) {
    const RegistryText store(kSettingsKey);
    store.remove(kTestValue);
    context.expect(store.read(kTestValue, L"fallback") == L"fallback",
                   "missing value did not give the default");
    const RegistryText missingKey(L"Software\\Marvenhal\\QuindorelNoSuchKey");
    context.expect(missingKey.read(L"Text1", L"0") == L"0", "missing key did not give the default");
}

}  // namespace

void addRegistryTests(TestRunner& runner) {
    runner.add("registry text round trip under HKCU\\Software\\Marvenhal\\Quindorel", roundTrip);
    runner.add("registry: a missing value reads as the default", missingValueReadsAsDefault);
}

}  // namespace quindorel::test
