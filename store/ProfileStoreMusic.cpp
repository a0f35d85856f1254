// Music visualizer layers. The profile column holds the visualizer target.
#include "store/ProfileStore.h"
#include "store/StoreQuery.h"

namespace keyloft {

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;

// What a new layer starts with besides its effect.
constexpr int kNewLayerAmplitude = 300;
constexpr int kNewLayerBackBrightness = 100;
}  // namespace

int ProfileStore::CountMusicLayers(int target) {
    Lock lock(mutex_);
    StoreQuery q(db_, "select count(*) FROM t_musiclayer_data WHERE profile = ?");
    q.Int(target);
    return q.Next() ? q.ColInt(0) : 0;
}

int ProfileStore::AddMusicLayer(int target, const std::wstring& name, int foremode) {
    Lock lock(mutex_);
    StoreQuery q(db_,
                 "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, "
                 "backmode, backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);");
    q.Int(target).Text(name).Int(0).Int(foremode).Int(kNewLayerAmplitude).Int(0).Int(kNewLayerBackBrightness).Int(0);
    return InsertedId(db_, q.Run());
}

int ProfileStore::LoadMusicLayers(int target, std::vector<MusicLayer>& list) {
    Lock lock(mutex_);
    list.clear();
    StoreQuery q(db_, "SELECT * FROM t_musiclayer_data WHERE profile = ?");
    q.Int(target);
    while (q.Next()) {
        MusicLayer& layer = list.emplace_back();
        layer.layer_id = q.ColInt(0);
        layer.profile = q.ColInt(1);
        layer.name = q.ColText(2);
    }
    return static_cast<int>(list.size());
}

bool ProfileStore::GetMusicLayer(int layerId, MusicLayer& layer) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?");
    q.Int(layerId);
    if (!q.Next()) return false;
    layer.layer_id = q.ColInt(0);
    layer.profile = q.ColInt(1);
    layer.name = q.ColText(2);
    layer.deviceindex = q.ColInt(3);
    layer.foremode = q.ColInt(4);
    layer.fore_amplitude = q.ColInt(5);
    layer.backmode = q.ColInt(6);
    layer.backb_right = q.ColInt(7);
    return true;
}

bool ProfileStore::UpdateMusicLayer(int layerId, const MusicLayer& l) {
    Lock lock(mutex_);
    StoreQuery q(db_,
                 "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, "
                 "backmode= ?, backb_right= ? WHERE layer_id = ?");
    q.Int(l.deviceindex).Int(l.foremode).Int(l.fore_amplitude).Int(l.backmode).Int(l.backb_right).Int(layerId);
    return q.Run();
}

bool ProfileStore::SelectMusicLayer(int target, int layerId) {
    Lock lock(mutex_);
    StoreQuery clear(db_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?");
    clear.Int(0).Int(target).Step();
    StoreQuery mark(db_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?");
    mark.Int(1).Int(target).Int(layerId);
    return mark.Run();
}

int ProfileStore::GetSelectedMusicLayer(int target) {
    Lock lock(mutex_);
    StoreQuery q(db_, "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?");
    q.Int(target).Int(1);
    return q.Next() ? q.ColInt(0) : 0;
}

}  // namespace keyloft
