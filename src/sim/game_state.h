// The complete state of one game: every variable the game logic keeps between
// two console frames, as named fields. Scalars hold the console's values in
// signed 64-bit integers; byte blocks are images of console RAM (big-endian
// words) with a fixed size from construction on. Copying a GameState copies the
// game. Saves, snapshots and the trace tools reach the fields by name through
// the field table (gameStateFields()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::size_t kScalarFieldCount = 226;
inline constexpr std::size_t kBlockFieldCount = 66;
inline constexpr std::size_t kFieldCount = kScalarFieldCount + kBlockFieldCount;

struct GameState {
    GameState();

    // Scalars, in declaration order.
    std::int64_t area = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t vy = 0;
    std::int64_t dx = 0;
    std::int64_t fast = 0;
    std::int64_t speed_l = 0;
    std::int64_t speed_r = 0;
    std::int64_t jump = 0;
    std::int64_t air = 0;
    std::int64_t settled = 0;
    std::int64_t fall_max = 0;
    std::int64_t stun = 0;
    std::int64_t sprite_frame = 0;
    std::int64_t anim = 0;
    std::int64_t anim_count = 0;
    std::int64_t anim_index = 0;
    std::int64_t camera_x = 0;
    std::int64_t lock = 0;
    std::int64_t facing = 0;
    std::int64_t action_done = 0;
    std::int64_t restart_x = 0;
    std::int64_t restart_y = 0;
    std::int64_t restart_area = 0;
    std::int64_t rng = 0;
    std::int64_t damage = 0;
    std::int64_t damage_show = 0;
    std::int64_t energy_ramp = 0;
    std::int64_t grace = 0;
    std::int64_t dying = 0;
    std::int64_t death_timer = 0;
    std::int64_t lives = 0;
    std::int64_t hazard_hit = 0;
    std::int64_t area_timer = 0;
    std::int64_t score = 0;
    std::int64_t stars_left = 0;
    std::int64_t lift_near = 0;
    std::int64_t door_locks = 0;
    std::int64_t objects_here_count = 0;
    std::int64_t event = 0;
    std::int64_t idle_timer = 0;
    std::int64_t flag_830a = 0;
    std::int64_t pause_delay = 0;
    std::int64_t cheat_left = 0;
    std::int64_t flag_82ef = 0;
    std::int64_t variant_ad = 0;
    std::int64_t float_y = 0;
    std::int64_t spring = 0;
    std::int64_t flag_82ce = 0;
    std::int64_t stroke_ready = 0;
    std::int64_t stroke_stand = 0;
    std::int64_t surfaced = 0;
    std::int64_t water_surface = 0;
    std::int64_t sinking = 0;
    std::int64_t rain_left = 0;
    std::int64_t rain_ramp = 0;
    std::int64_t rain_wait = 0;
    std::int64_t indoors = 0;
    std::int64_t area18_timer = 0;
    std::int64_t side_82c9 = 0;
    std::int64_t on_object = 0;
    std::int64_t flag_8300 = 0;
    std::int64_t guard10 = 0;
    std::int64_t bob_phase = 0;
    std::int64_t bob_base = 0;
    std::int64_t a13_y = 0;
    std::int64_t flag_82c1 = 0;
    std::int64_t bubble_timer = 0;
    std::int64_t flag_82b0 = 0;
    std::int64_t flag_82b1 = 0;
    std::int64_t flag_811a = 0;
    std::int64_t flag_8309 = 0;
    std::int64_t flag_82bd = 0;
    std::int64_t flag_82c8 = 0;
    std::int64_t flag_82cc = 0;
    std::int64_t flag_82d6 = 0;
    std::int64_t flag_82d7 = 0;
    std::int64_t flag_82d8 = 0;
    std::int64_t flag_82db = 0;
    std::int64_t flag_82e0 = 0;
    std::int64_t flag_82e8 = 0;
    std::int64_t flag_82e9 = 0;
    std::int64_t flag_82f7 = 0;
    std::int64_t flag_82f8 = 0;
    std::int64_t flag_82fb = 0;
    std::int64_t flag_8305 = 0;
    std::int64_t w825a = 0;
    std::int64_t flag_82cd = 0;
    std::int64_t flag_82c7 = 0;
    std::int64_t sparkle_timer = 0;
    std::int64_t flag_82bf = 0;
    std::int64_t flag_82c4 = 0;
    std::int64_t flag_82c5 = 0;
    std::int64_t flag_82dc = 0;
    std::int64_t flag_82dd = 0;
    std::int64_t flag_82bb = 0;
    std::int64_t flag_82c3 = 0;
    std::int64_t flag_82bc = 0;
    std::int64_t w8310 = 0;
    std::int64_t flag_82d5 = 0;
    std::int64_t flag_82f0 = 0;
    std::int64_t flag_82f1 = 0;
    std::int64_t flag_82ba = 0;
    std::int64_t flag_8307 = 0;
    std::int64_t troll_x = 0;
    std::int64_t troll_state = 0;
    std::int64_t flag_82e3 = 0;
    std::int64_t flag_82e4 = 0;
    std::int64_t flag_82e5 = 0;
    std::int64_t flag_82e6 = 0;
    std::int64_t flag_82d0 = 0;
    std::int64_t flag_82fe = 0;
    std::int64_t flag_82d9 = 0;
    std::int64_t flag_82f2 = 0;
    std::int64_t flag_82e1 = 0;
    std::int64_t flag_82e2 = 0;
    std::int64_t flag_82de = 0;
    std::int64_t flag_82df = 0;
    std::int64_t w8314 = 0;
    std::int64_t w8316 = 0;
    std::int64_t flag_82eb = 0;
    std::int64_t flag_82ea = 0;
    std::int64_t flag_8306 = 0;
    std::int64_t mode = 0;
    std::int64_t flag_82fa = 0;
    std::int64_t w825e = 0;
    std::int64_t flag_82f9 = 0;
    std::int64_t flag_8301 = 0;
    std::int64_t flag_82f3 = 0;
    std::int64_t timer_8330 = 0;
    std::int64_t w825c = 0;
    std::int64_t flag_82da = 0;
    std::int64_t particle_timer = 0;
    std::int64_t x_next = 0;
    std::int64_t y_prev = 0;
    std::int64_t sprite_x = 0;
    std::int64_t refresh_hz = 0;
    std::int64_t language = 0;
    std::int64_t sub_result = 0;
    std::int64_t sub_phase = 0;
    std::int64_t w90b6 = 0;
    std::int64_t menu_cursor = 0;
    std::int64_t menu_latch = 0;
    std::int64_t menu_frames = 0;
    std::int64_t in_subgame = 0;
    std::int64_t push_sprite_x = 0;
    std::int64_t push_x = 0;
    std::int64_t push_y = 0;
    std::int64_t push_vy = 0;
    std::int64_t push_frame = 0;
    std::int64_t push_anim = 0;
    std::int64_t push_camera = 0;
    std::int64_t push_damage = 0;
    std::int64_t push_shown = 0;
    std::int64_t step_stage = 0;
    std::int64_t respawn_pending = 0;
    std::int64_t sub_lost = 0;
    std::int64_t screen_kind = 0;
    std::int64_t screen_event = 0;
    std::int64_t screen_frame = 0;
    std::int64_t lives_wait = 0;
    std::int64_t lives_after = 0;
    std::int64_t go_phase = 0;
    std::int64_t go_timer = 0;
    std::int64_t go_x = 0;
    std::int64_t go_y = 0;
    std::int64_t go_sx = 0;
    std::int64_t go_sy = 0;
    std::int64_t go_vx = 0;
    std::int64_t go_vy = 0;
    std::int64_t go_x2 = 0;
    std::int64_t go_y2 = 0;
    std::int64_t go_sx2 = 0;
    std::int64_t go_sy2 = 0;
    std::int64_t front = 0;
    std::int64_t front_step = 0;
    std::int64_t menu_prev = 0;
    std::int64_t title_code = 0;
    std::int64_t title_bonus = 0;
    std::int64_t att_side = 0;
    std::int64_t att_out = 0;
    std::int64_t att_fade = 0;
    std::int64_t fade_level = 0;
    std::int64_t fade_delta = 0;
    std::int64_t fade_shown = 0;
    std::int64_t code_menu = 0;
    std::int64_t cram_line0 = 0;
    std::int64_t cram_line2 = 0;
    std::int64_t sand_top = 0;
    std::int64_t tower_buf3 = 0;
    std::int64_t tower_cram3 = 0;
    std::int64_t tower_px = 0;
    std::int64_t tower_py = 0;
    std::int64_t music = 0;
    std::int64_t music_wait = 0;
    std::int64_t push_music = 0;
    std::int64_t lives_music = 0;
    std::int64_t palette_variant = 0;
    std::int64_t hazard_phase_timer = 0;
    std::int64_t star_phase_timer = 0;
    std::int64_t w910c = 0;
    std::int64_t star_show = 0;
    std::int64_t star_angle = 0;
    std::int64_t star_scale = 0;
    std::int64_t star_points_n = 0;
    std::int64_t palette_timer = 0;
    std::int64_t palette_fading = 0;
    std::int64_t palette_fade_step = 0;
    std::int64_t a0_blink = 0;
    std::int64_t w822c = 0;
    std::int64_t w81fc = 0;
    std::int64_t a11_sway = 0;
    std::int64_t a11_timer = 0;
    std::int64_t flag_82cb = 0;
    std::int64_t flag_82fc = 0;
    std::int64_t flag_82fd = 0;
    std::int64_t flag_82ff = 0;
    std::int64_t hint_timer = 0;
    std::int64_t hint_phase = 0;
    std::int64_t w8312 = 0;
    std::int64_t w8134 = 0;
    std::int64_t a18_blink = 0;
    std::int64_t a18_t1 = 0;
    std::int64_t a18_t2 = 0;
    std::int64_t w8242 = 0;
    std::int64_t expression = 0;

    // Byte blocks, in declaration order (sizes set by the constructor).
    std::vector<std::uint8_t> flags;  // 128 bytes
    std::vector<std::uint8_t> item_flags;  // 8 bytes
    std::vector<std::uint8_t> platforms;  // 32 bytes
    std::vector<std::uint8_t> platform_recs;  // 48 bytes
    std::vector<std::uint8_t> area9;  // 30 bytes
    std::vector<std::uint8_t> a13_anim;  // 6 bytes
    std::vector<std::uint8_t> bubbles;  // 216 bytes
    std::vector<std::uint8_t> sparkle_xy;  // 4 bytes
    std::vector<std::uint8_t> sparkles;  // 48 bytes
    std::vector<std::uint8_t> flags_82d1;  // 4 bytes
    std::vector<std::uint8_t> arc;  // 32 bytes
    std::vector<std::uint8_t> scripted_obj;  // 20 bytes
    std::vector<std::uint8_t> troll_anim;  // 6 bytes
    std::vector<std::uint8_t> rope;  // 24 bytes
    std::vector<std::uint8_t> rope_pts;  // 100 bytes
    std::vector<std::uint8_t> a29_anim;  // 6 bytes
    std::vector<std::uint8_t> a17_anims;  // 24 bytes
    std::vector<std::uint8_t> a10_guard;  // 22 bytes
    std::vector<std::uint8_t> a1_walker;  // 36 bytes
    std::vector<std::uint8_t> a1_lamp;  // 8 bytes
    std::vector<std::uint8_t> a42_gate;  // 12 bytes
    std::vector<std::uint8_t> a16;  // 12 bytes
    std::vector<std::uint8_t> a16_anim;  // 6 bytes
    std::vector<std::uint8_t> shots;  // 288 bytes
    std::vector<std::uint8_t> a16_exit;  // 14 bytes
    std::vector<std::uint8_t> chain;  // 6 bytes
    std::vector<std::uint8_t> anim_8180;  // 6 bytes
    std::vector<std::uint8_t> anim_818c;  // 6 bytes
    std::vector<std::uint8_t> anim_81aa;  // 6 bytes
    std::vector<std::uint8_t> anim_817a;  // 6 bytes
    std::vector<std::uint8_t> anim_8198;  // 6 bytes
    std::vector<std::uint8_t> a28_timers;  // 32 bytes
    std::vector<std::uint8_t> particles;  // 60 bytes
    std::vector<std::uint8_t> effects;  // 112 bytes
    std::vector<std::uint8_t> lifts;  // 162 bytes
    std::vector<std::uint8_t> objects;  // 992 bytes
    std::vector<std::uint8_t> objects_here;  // 128 bytes
    std::vector<std::uint8_t> inventory;  // 10 bytes
    std::vector<std::uint8_t> inv_timers;  // 14 bytes
    std::vector<std::uint8_t> door_states;  // 64 bytes
    std::vector<std::uint8_t> actors;  // 2320 bytes
    std::vector<std::uint8_t> frame_bases;  // 30 bytes
    std::vector<std::uint8_t> panel_anim;  // 6 bytes
    std::vector<std::uint8_t> passage_anim;  // 6 bytes
    std::vector<std::uint8_t> a0_anim1;  // 6 bytes
    std::vector<std::uint8_t> a0_anim2;  // 6 bytes
    std::vector<std::uint8_t> a9_canim;  // 6 bytes
    std::vector<std::uint8_t> a10_anim;  // 6 bytes
    std::vector<std::uint8_t> a15_anim;  // 6 bytes
    std::vector<std::uint8_t> anim_8162;  // 6 bytes
    std::vector<std::uint8_t> anim_8168;  // 6 bytes
    std::vector<std::uint8_t> anim_8186;  // 6 bytes
    std::vector<std::uint8_t> tunnel_light;  // 6 bytes
    std::vector<std::uint8_t> anim_812e;  // 6 bytes
    std::vector<std::uint8_t> anim_837e;  // 6 bytes
    std::vector<std::uint8_t> anim_8416;  // 6 bytes
    std::vector<std::uint8_t> anim_8410;  // 6 bytes
    std::vector<std::uint8_t> anim_8384;  // 6 bytes
    std::vector<std::uint8_t> hazard_phases;  // 8 bytes
    std::vector<std::uint8_t> star_phases;  // 12 bytes
    std::vector<std::uint8_t> star_points;  // 184 bytes
    std::vector<std::uint8_t> block_anims;  // 64 bytes
    std::vector<std::uint8_t> sub_ram;  // 3506 bytes
    std::vector<std::uint8_t> tower_edge;  // 208 bytes
    std::vector<std::uint8_t> title_ram;  // 3120 bytes
    std::vector<std::uint8_t> tower_ring;  // 16 bytes

    // Access by declaration index (0..225 scalars, 0..65 blocks).
    std::int64_t& scalar(std::size_t index);
    std::int64_t scalar(std::size_t index) const;
    std::vector<std::uint8_t>& block(std::size_t index);
    const std::vector<std::uint8_t>& block(std::size_t index) const;

    // Access by field name; nullptr when no field of that kind has the name.
    std::int64_t* scalarByName(std::string_view name);
    const std::int64_t* scalarByName(std::string_view name) const;
    std::vector<std::uint8_t>* blockByName(std::string_view name);
    const std::vector<std::uint8_t>* blockByName(std::string_view name) const;

    // Named read/write of a scalar; false (or nothing) for an unknown name.
    std::optional<std::int64_t> get(std::string_view name) const;
    bool set(std::string_view name, std::int64_t value);
    // Replaces a block's contents; false for an unknown name or a wrong size.
    bool setBlock(std::string_view name, std::span<const std::uint8_t> bytes);

    bool operator==(const GameState&) const = default;
};

// One row of the field table.
struct FieldInfo {
    std::string_view name;
    int scalarIndex = -1;  // declaration index among the scalars, or -1
    int blockIndex = -1;   // declaration index among the blocks, or -1
    bool traced = false;   // part of the console's own state
    std::size_t blockSize = 0;
    bool isScalar() const { return scalarIndex >= 0; }
};

// The field table in its listed order (292 rows), built once and shared.
std::span<const FieldInfo> gameStateFields();
// The row of a field, or nullptr.
const FieldInfo* findField(std::string_view name);
// Names of the fields whose values differ between two states, in table order.
std::vector<std::string_view> differingFields(const GameState& a, const GameState& b);

}  // namespace sim
