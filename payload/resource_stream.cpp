#include "payload/resource_stream.h"

#include "payload/archive.h"
#include "support/resource.h"

namespace vt {

imemstream open_resource_stream(unsigned short type, unsigned short id) {
    const auto bytes = load_resource(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    return imemstream(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

imemstream open_payload_stream() {
    return open_resource_stream(PayloadArchive::resource_type, PayloadArchive::resource_id);
}

} // namespace vt
