#include "base/constants_list.h"

#include "base/constants.h"
#include "base/variables.h"

namespace kv {

namespace {

template <size_t N> void AddCodes(TkvVariables& list, const std::array<TkvNamedCode, N>& codes) {
    for (const TkvNamedCode& c : codes)
        list.SetVariable(c.Name, TkvVariant(int64_t(c.Value)));
}

} // namespace

void FillConstantsList(TkvVariables& list) {
    for (const TkvColorName& c : kColorNames)
        list.SetVariable(c.Name, TkvVariant(int64_t(static_cast<int32_t>(c.Value))));
    AddCodes(list, kModalResultNames);
    list.SetVariable("CRLF", TkvVariant(QByteArray("\r\n")));
    list.SetVariable("Null", TkvVariant::Null());
    AddCodes(list, kFontStyleNames);
    AddCodes(list, kFrameSideNames);
    AddCodes(list, kTextAlignmentNames);
    AddCodes(list, kBandAlignmentNames);
    AddCodes(list, kFrameLineStyleNames);
    AddCodes(list, kMessageBoxNames);
}

} // namespace kv
