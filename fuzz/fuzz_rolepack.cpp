// Arbitrary bytes as a role pack: decoding never yields a partial payload, everything shown for a decoded
// pack can be computed, and encoding the payload decodes back to an equal one.
#include "FuzzCheck.h"

#include "model/RolePackCodec.h"
#include "model/TimelineSnapshot.h"
#include "presentation/DisplayText.h"
#include "presentation/EnergyMeter.h"
#include "presentation/StatusRendering.h"

using namespace pellora;
using pellora::fuzz::require;

namespace {

void render(const Role& role, int minute)
{
    const TimelineSnapshot snapshot = makeSnapshot(role, minute);
    require(snapshot.upcoming.size() <= 3);
    if (snapshot.now) {
        require(!statusFace(*snapshot.now, role.stylePack).isEmpty());
        require(!meterText(snapshot.now->energy).isEmpty());
    }
    for (const RoleEvent& event : snapshot.upcoming) {
        require(!upcomingLine(event).isEmpty());
        require(!statusFace(event, role.stylePack).isEmpty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = fuzz::bytesOf(data, size);
    const RolePackDecodeResult first = decodeRolePack(input);
    if (!first.ok()) {
        require(first.payload.roles.isEmpty());
        return 0;
    }

    // One minute chosen by the input, besides midnight, noon's eve and the day's last minute.
    const int derivedMinute = int(qChecksum(input) % 1440);
    for (const Role& role : first.payload.roles) {
        for (int minute : {0, 719, 1439, derivedMinute})
            render(role, minute);
        require(!previewFace(role).isEmpty());
        roleTitle(role);
    }

    const RolePackDecodeResult second = decodeRolePack(encodeRolePack(first.payload));
    require(second.ok());
    require(second.payload == first.payload);
    return 0;
}
