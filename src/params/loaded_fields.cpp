#include "params/loaded_fields.h"

namespace zrk::params {

const LoadedFields::Row* LoadedFields::find(int firstAddress) const {
    const auto it = rows_.find(firstAddress);
    return it == rows_.end() ? nullptr : &it->second;
}

}  // namespace zrk::params
