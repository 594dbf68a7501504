// A chat reply's text: its links and the file names they would be saved as.

#include "assistant/plus_file_downloads.h"
#include "fuzz_checks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &link : PlusFileDownloads::linksIn(text))
        require(text.contains(link), "a link is an exact part of the text");
    const QString name = PlusFileDownloads::sanitizedFileName(text);
    require(!name.isEmpty(), "a saved file always has a name");
    require(!name.contains(QLatin1Char('/')) && !name.contains(QChar(0)), "a name has no separator");
    require(!name.startsWith(QLatin1Char('.')), "a name never hides or climbs");
    return 0;
}
