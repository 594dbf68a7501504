// An update manifest body as the web site (or anyone in between) serves it.

#include "fuzz_checks.h"
#include "updates/version_manifest.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<VersionManifest> manifest = decodeVersionManifest(body);
    const std::optional<VersionInfo> info = decodeVersionInfo(body);
    if (manifest) {
        require(info && info->latest == manifest->info.latest, "a manifest's version info reads alone too");
        releaseFile(manifest, manifest->info.latest);
        releaseFile(manifest, manifest->info.beta.value_or(QString()));
    }
    return 0;
}
