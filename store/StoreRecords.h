// The records that carry rows between the profile store and the rest of the
// program. Each field is named after its column; integers are 32-bit signed,
// texts are wide strings (UTF-8 only inside the database). Records are plain
// values owned by whoever holds them; none refers back to the database.
#pragma once

#include <string>

namespace keyloft {

// A row of t_profile_data. status is 1 for the active profile.
struct ProfileRecord {
    int profile = 0;
    std::wstring name;
    std::wstring app;
    int type = 0;
    int status = 0;
};

// A row of t_configdata (global settings; profile is always 1).
struct ConfigValue {
    int config_id = 0;
    int profile = 0;
    std::wstring key;
    std::wstring value;
};

// A row of t_key_macro_data: one key's function on one layer of one profile.
// macro_type 3 plays the macro whose id is macro_value.
struct KeyAssignment {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    std::wstring layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc;
};

// The extra text of a shortcut or program-launch function (t_key_otherdata);
// its id (the row's macro_value) is passed beside the record.
struct KeyOtherData {
    std::wstring macro_desc;
    std::wstring param;
    int type = 0;
};

// A row of t_light_data: one lighting mode's settings in one profile.
struct LightSetting {
    int light_id = 0;
    int profile = 0;
    std::wstring name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;
    int config_func = 0;
    int reserved = 0;
    int status = 0;
};

// A row of t_key_light_data: one key's colour in a light set. light_id is the
// set's number (128, 144), key_rgb a colour 0x00BBGGRR.
struct KeyLight {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0;
    int key_code = 0;
    int key_rgb = 0;
};

// A row of t_macro_data.
struct MacroRecord {
    int macro_id = 0;
    std::wstring name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
};

// A row of t_macrorecord: one recorded step of a macro.
struct MacroStep {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::wstring desc;
};

// A row of t_musiclayer_data. profile holds the visualizer target (1 keyboard,
// 2 light box), not a profile id. The sel column has no field: it is reached
// through SelectMusicLayer and GetSelectedMusicLayer.
struct MusicLayer {
    int layer_id = 0;
    int profile = 0;
    std::wstring name;
    int deviceindex = 0;
    int foremode = 106;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

}  // namespace keyloft
