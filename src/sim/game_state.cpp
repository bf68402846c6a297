// The field table of GameState: data, written once in table order, plus the
// member lists in declaration order that give the scalar and block indices.
#include "sim/game_state.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace sim {
namespace {

using ScalarMember = std::int64_t GameState::*;
using BlockMember = std::vector<std::uint8_t> GameState::*;

constexpr std::array<ScalarMember, kScalarFieldCount> kScalarMembers = {
    &GameState::area,
    &GameState::x,
    &GameState::y,
    &GameState::vy,
    &GameState::dx,
    &GameState::fast,
    &GameState::speed_l,
    &GameState::speed_r,
    &GameState::jump,
    &GameState::air,
    &GameState::settled,
    &GameState::fall_max,
    &GameState::stun,
    &GameState::sprite_frame,
    &GameState::anim,
    &GameState::anim_count,
    &GameState::anim_index,
    &GameState::camera_x,
    &GameState::lock,
    &GameState::facing,
    &GameState::action_done,
    &GameState::restart_x,
    &GameState::restart_y,
    &GameState::restart_area,
    &GameState::rng,
    &GameState::damage,
    &GameState::damage_show,
    &GameState::energy_ramp,
    &GameState::grace,
    &GameState::dying,
    &GameState::death_timer,
    &GameState::lives,
    &GameState::hazard_hit,
    &GameState::area_timer,
    &GameState::score,
    &GameState::stars_left,
    &GameState::lift_near,
    &GameState::door_locks,
    &GameState::objects_here_count,
    &GameState::event,
    &GameState::idle_timer,
    &GameState::flag_830a,
    &GameState::pause_delay,
    &GameState::cheat_left,
    &GameState::flag_82ef,
    &GameState::variant_ad,
    &GameState::float_y,
    &GameState::spring,
    &GameState::flag_82ce,
    &GameState::stroke_ready,
    &GameState::stroke_stand,
    &GameState::surfaced,
    &GameState::water_surface,
    &GameState::sinking,
    &GameState::rain_left,
    &GameState::rain_ramp,
    &GameState::rain_wait,
    &GameState::indoors,
    &GameState::area18_timer,
    &GameState::side_82c9,
    &GameState::on_object,
    &GameState::flag_8300,
    &GameState::guard10,
    &GameState::bob_phase,
    &GameState::bob_base,
    &GameState::a13_y,
    &GameState::flag_82c1,
    &GameState::bubble_timer,
    &GameState::flag_82b0,
    &GameState::flag_82b1,
    &GameState::flag_811a,
    &GameState::flag_8309,
    &GameState::flag_82bd,
    &GameState::flag_82c8,
    &GameState::flag_82cc,
    &GameState::flag_82d6,
    &GameState::flag_82d7,
    &GameState::flag_82d8,
    &GameState::flag_82db,
    &GameState::flag_82e0,
    &GameState::flag_82e8,
    &GameState::flag_82e9,
    &GameState::flag_82f7,
    &GameState::flag_82f8,
    &GameState::flag_82fb,
    &GameState::flag_8305,
    &GameState::w825a,
    &GameState::flag_82cd,
    &GameState::flag_82c7,
    &GameState::sparkle_timer,
    &GameState::flag_82bf,
    &GameState::flag_82c4,
    &GameState::flag_82c5,
    &GameState::flag_82dc,
    &GameState::flag_82dd,
    &GameState::flag_82bb,
    &GameState::flag_82c3,
    &GameState::flag_82bc,
    &GameState::w8310,
    &GameState::flag_82d5,
    &GameState::flag_82f0,
    &GameState::flag_82f1,
    &GameState::flag_82ba,
    &GameState::flag_8307,
    &GameState::troll_x,
    &GameState::troll_state,
    &GameState::flag_82e3,
    &GameState::flag_82e4,
    &GameState::flag_82e5,
    &GameState::flag_82e6,
    &GameState::flag_82d0,
    &GameState::flag_82fe,
    &GameState::flag_82d9,
    &GameState::flag_82f2,
    &GameState::flag_82e1,
    &GameState::flag_82e2,
    &GameState::flag_82de,
    &GameState::flag_82df,
    &GameState::w8314,
    &GameState::w8316,
    &GameState::flag_82eb,
    &GameState::flag_82ea,
    &GameState::flag_8306,
    &GameState::mode,
    &GameState::flag_82fa,
    &GameState::w825e,
    &GameState::flag_82f9,
    &GameState::flag_8301,
    &GameState::flag_82f3,
    &GameState::timer_8330,
    &GameState::w825c,
    &GameState::flag_82da,
    &GameState::particle_timer,
    &GameState::x_next,
    &GameState::y_prev,
    &GameState::sprite_x,
    &GameState::refresh_hz,
    &GameState::language,
    &GameState::sub_result,
    &GameState::sub_phase,
    &GameState::w90b6,
    &GameState::menu_cursor,
    &GameState::menu_latch,
    &GameState::menu_frames,
    &GameState::in_subgame,
    &GameState::push_sprite_x,
    &GameState::push_x,
    &GameState::push_y,
    &GameState::push_vy,
    &GameState::push_frame,
    &GameState::push_anim,
    &GameState::push_camera,
    &GameState::push_damage,
    &GameState::push_shown,
    &GameState::step_stage,
    &GameState::respawn_pending,
    &GameState::sub_lost,
    &GameState::screen_kind,
    &GameState::screen_event,
    &GameState::screen_frame,
    &GameState::lives_wait,
    &GameState::lives_after,
    &GameState::go_phase,
    &GameState::go_timer,
    &GameState::go_x,
    &GameState::go_y,
    &GameState::go_sx,
    &GameState::go_sy,
    &GameState::go_vx,
    &GameState::go_vy,
    &GameState::go_x2,
    &GameState::go_y2,
    &GameState::go_sx2,
    &GameState::go_sy2,
    &GameState::front,
    &GameState::front_step,
    &GameState::menu_prev,
    &GameState::title_code,
    &GameState::title_bonus,
    &GameState::att_side,
    &GameState::att_out,
    &GameState::att_fade,
    &GameState::fade_level,
    &GameState::fade_delta,
    &GameState::fade_shown,
    &GameState::code_menu,
    &GameState::cram_line0,
    &GameState::cram_line2,
    &GameState::sand_top,
    &GameState::tower_buf3,
    &GameState::tower_cram3,
    &GameState::tower_px,
    &GameState::tower_py,
    &GameState::music,
    &GameState::music_wait,
    &GameState::push_music,
    &GameState::lives_music,
    &GameState::palette_variant,
    &GameState::hazard_phase_timer,
    &GameState::star_phase_timer,
    &GameState::w910c,
    &GameState::star_show,
    &GameState::star_angle,
    &GameState::star_scale,
    &GameState::star_points_n,
    &GameState::palette_timer,
    &GameState::palette_fading,
    &GameState::palette_fade_step,
    &GameState::a0_blink,
    &GameState::w822c,
    &GameState::w81fc,
    &GameState::a11_sway,
    &GameState::a11_timer,
    &GameState::flag_82cb,
    &GameState::flag_82fc,
    &GameState::flag_82fd,
    &GameState::flag_82ff,
    &GameState::hint_timer,
    &GameState::hint_phase,
    &GameState::w8312,
    &GameState::w8134,
    &GameState::a18_blink,
    &GameState::a18_t1,
    &GameState::a18_t2,
    &GameState::w8242,
    &GameState::expression,
};

constexpr std::array<BlockMember, kBlockFieldCount> kBlockMembers = {
    &GameState::flags,
    &GameState::item_flags,
    &GameState::platforms,
    &GameState::platform_recs,
    &GameState::area9,
    &GameState::a13_anim,
    &GameState::bubbles,
    &GameState::sparkle_xy,
    &GameState::sparkles,
    &GameState::flags_82d1,
    &GameState::arc,
    &GameState::scripted_obj,
    &GameState::troll_anim,
    &GameState::rope,
    &GameState::rope_pts,
    &GameState::a29_anim,
    &GameState::a17_anims,
    &GameState::a10_guard,
    &GameState::a1_walker,
    &GameState::a1_lamp,
    &GameState::a42_gate,
    &GameState::a16,
    &GameState::a16_anim,
    &GameState::shots,
    &GameState::a16_exit,
    &GameState::chain,
    &GameState::anim_8180,
    &GameState::anim_818c,
    &GameState::anim_81aa,
    &GameState::anim_817a,
    &GameState::anim_8198,
    &GameState::a28_timers,
    &GameState::particles,
    &GameState::effects,
    &GameState::lifts,
    &GameState::objects,
    &GameState::objects_here,
    &GameState::inventory,
    &GameState::inv_timers,
    &GameState::door_states,
    &GameState::actors,
    &GameState::frame_bases,
    &GameState::panel_anim,
    &GameState::passage_anim,
    &GameState::a0_anim1,
    &GameState::a0_anim2,
    &GameState::a9_canim,
    &GameState::a10_anim,
    &GameState::a15_anim,
    &GameState::anim_8162,
    &GameState::anim_8168,
    &GameState::anim_8186,
    &GameState::tunnel_light,
    &GameState::anim_812e,
    &GameState::anim_837e,
    &GameState::anim_8416,
    &GameState::anim_8410,
    &GameState::anim_8384,
    &GameState::hazard_phases,
    &GameState::star_phases,
    &GameState::star_points,
    &GameState::block_anims,
    &GameState::sub_ram,
    &GameState::tower_edge,
    &GameState::title_ram,
    &GameState::tower_ring,
};

constexpr std::array<std::size_t, kBlockFieldCount> kBlockSizes = {
    128,  // flags
    8,  // item_flags
    32,  // platforms
    48,  // platform_recs
    30,  // area9
    6,  // a13_anim
    216,  // bubbles
    4,  // sparkle_xy
    48,  // sparkles
    4,  // flags_82d1
    32,  // arc
    20,  // scripted_obj
    6,  // troll_anim
    24,  // rope
    100,  // rope_pts
    6,  // a29_anim
    24,  // a17_anims
    22,  // a10_guard
    36,  // a1_walker
    8,  // a1_lamp
    12,  // a42_gate
    12,  // a16
    6,  // a16_anim
    288,  // shots
    14,  // a16_exit
    6,  // chain
    6,  // anim_8180
    6,  // anim_818c
    6,  // anim_81aa
    6,  // anim_817a
    6,  // anim_8198
    32,  // a28_timers
    60,  // particles
    112,  // effects
    162,  // lifts
    992,  // objects
    128,  // objects_here
    10,  // inventory
    14,  // inv_timers
    64,  // door_states
    2320,  // actors
    30,  // frame_bases
    6,  // panel_anim
    6,  // passage_anim
    6,  // a0_anim1
    6,  // a0_anim2
    6,  // a9_canim
    6,  // a10_anim
    6,  // a15_anim
    6,  // anim_8162
    6,  // anim_8168
    6,  // anim_8186
    6,  // tunnel_light
    6,  // anim_812e
    6,  // anim_837e
    6,  // anim_8416
    6,  // anim_8410
    6,  // anim_8384
    8,  // hazard_phases
    12,  // star_phases
    184,  // star_points
    64,  // block_anims
    3506,  // sub_ram
    208,  // tower_edge
    3120,  // title_ram
    16,  // tower_ring
};

// name, scalar index, block index, traced, block size
constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {"area", 0, -1, true, 0},
    {"x", 1, -1, true, 0},
    {"y", 2, -1, true, 0},
    {"vy", 3, -1, true, 0},
    {"dx", 4, -1, true, 0},
    {"fast", 5, -1, true, 0},
    {"speed_l", 6, -1, true, 0},
    {"speed_r", 7, -1, true, 0},
    {"jump", 8, -1, true, 0},
    {"air", 9, -1, true, 0},
    {"settled", 10, -1, true, 0},
    {"fall_max", 11, -1, true, 0},
    {"stun", 12, -1, true, 0},
    {"sprite_frame", 13, -1, true, 0},
    {"anim", 14, -1, true, 0},
    {"anim_count", 15, -1, true, 0},
    {"anim_index", 16, -1, true, 0},
    {"camera_x", 17, -1, true, 0},
    {"lock", 18, -1, true, 0},
    {"facing", 19, -1, true, 0},
    {"action_done", 20, -1, true, 0},
    {"restart_x", 21, -1, true, 0},
    {"restart_y", 22, -1, true, 0},
    {"restart_area", 23, -1, true, 0},
    {"rng", 24, -1, true, 0},
    {"damage", 25, -1, true, 0},
    {"damage_show", 26, -1, true, 0},
    {"energy_ramp", 27, -1, true, 0},
    {"grace", 28, -1, true, 0},
    {"dying", 29, -1, true, 0},
    {"death_timer", 30, -1, true, 0},
    {"lives", 31, -1, true, 0},
    {"hazard_hit", 32, -1, true, 0},
    {"area_timer", 33, -1, true, 0},
    {"score", 34, -1, true, 0},
    {"stars_left", 35, -1, true, 0},
    {"lift_near", 36, -1, true, 0},
    {"door_locks", 37, -1, true, 0},
    {"objects_here_count", 38, -1, true, 0},
    {"event", 39, -1, true, 0},
    {"idle_timer", 40, -1, true, 0},
    {"flag_830a", 41, -1, true, 0},
    {"pause_delay", 42, -1, true, 0},
    {"cheat_left", 43, -1, true, 0},
    {"flag_82ef", 44, -1, true, 0},
    {"variant_ad", 45, -1, true, 0},
    {"float_y", 46, -1, true, 0},
    {"spring", 47, -1, true, 0},
    {"flag_82ce", 48, -1, true, 0},
    {"stroke_ready", 49, -1, true, 0},
    {"stroke_stand", 50, -1, true, 0},
    {"surfaced", 51, -1, true, 0},
    {"water_surface", 52, -1, true, 0},
    {"sinking", 53, -1, true, 0},
    {"rain_left", 54, -1, true, 0},
    {"rain_ramp", 55, -1, true, 0},
    {"rain_wait", 56, -1, true, 0},
    {"indoors", 57, -1, true, 0},
    {"area18_timer", 58, -1, true, 0},
    {"side_82c9", 59, -1, true, 0},
    {"on_object", 60, -1, true, 0},
    {"flag_8300", 61, -1, true, 0},
    {"guard10", 62, -1, true, 0},
    {"bob_phase", 63, -1, true, 0},
    {"bob_base", 64, -1, true, 0},
    {"a13_y", 65, -1, true, 0},
    {"flag_82c1", 66, -1, true, 0},
    {"bubble_timer", 67, -1, true, 0},
    {"flag_82b0", 68, -1, true, 0},
    {"flag_82b1", 69, -1, true, 0},
    {"flag_811a", 70, -1, true, 0},
    {"flag_8309", 71, -1, true, 0},
    {"flag_82bd", 72, -1, true, 0},
    {"flag_82c8", 73, -1, true, 0},
    {"flag_82cc", 74, -1, true, 0},
    {"flag_82d6", 75, -1, true, 0},
    {"flag_82d7", 76, -1, true, 0},
    {"flag_82d8", 77, -1, true, 0},
    {"flag_82db", 78, -1, true, 0},
    {"flag_82e0", 79, -1, true, 0},
    {"flag_82e8", 80, -1, true, 0},
    {"flag_82e9", 81, -1, true, 0},
    {"flag_82f7", 82, -1, true, 0},
    {"flag_82f8", 83, -1, true, 0},
    {"flag_82fb", 84, -1, true, 0},
    {"flag_8305", 85, -1, true, 0},
    {"w825a", 86, -1, true, 0},
    {"flag_82cd", 87, -1, true, 0},
    {"flag_82c7", 88, -1, true, 0},
    {"sparkle_timer", 89, -1, true, 0},
    {"flag_82bf", 90, -1, true, 0},
    {"flag_82c4", 91, -1, true, 0},
    {"flag_82c5", 92, -1, true, 0},
    {"flag_82dc", 93, -1, true, 0},
    {"flag_82dd", 94, -1, true, 0},
    {"flag_82bb", 95, -1, true, 0},
    {"flag_82c3", 96, -1, true, 0},
    {"flag_82bc", 97, -1, true, 0},
    {"w8310", 98, -1, true, 0},
    {"flag_82d5", 99, -1, true, 0},
    {"flag_82f0", 100, -1, true, 0},
    {"flag_82f1", 101, -1, true, 0},
    {"flag_82ba", 102, -1, true, 0},
    {"flag_8307", 103, -1, true, 0},
    {"troll_x", 104, -1, true, 0},
    {"troll_state", 105, -1, true, 0},
    {"flag_82e3", 106, -1, true, 0},
    {"flag_82e4", 107, -1, true, 0},
    {"flag_82e5", 108, -1, true, 0},
    {"flag_82e6", 109, -1, true, 0},
    {"flag_82d0", 110, -1, true, 0},
    {"flag_82fe", 111, -1, true, 0},
    {"flag_82d9", 112, -1, true, 0},
    {"flag_82f2", 113, -1, true, 0},
    {"flag_82e1", 114, -1, true, 0},
    {"flag_82e2", 115, -1, true, 0},
    {"flag_82de", 116, -1, true, 0},
    {"flag_82df", 117, -1, true, 0},
    {"w8314", 118, -1, true, 0},
    {"w8316", 119, -1, true, 0},
    {"flag_82eb", 120, -1, true, 0},
    {"flag_82ea", 121, -1, true, 0},
    {"flag_8306", 122, -1, true, 0},
    {"mode", 123, -1, true, 0},
    {"flag_82fa", 124, -1, true, 0},
    {"w825e", 125, -1, true, 0},
    {"flag_82f9", 126, -1, true, 0},
    {"flag_8301", 127, -1, true, 0},
    {"flag_82f3", 128, -1, true, 0},
    {"timer_8330", 129, -1, true, 0},
    {"w825c", 130, -1, true, 0},
    {"flag_82da", 131, -1, true, 0},
    {"particle_timer", 132, -1, true, 0},
    {"flags", -1, 0, true, 128},
    {"item_flags", -1, 1, true, 8},
    {"platforms", -1, 2, true, 32},
    {"platform_recs", -1, 3, true, 48},
    {"area9", -1, 4, true, 30},
    {"a13_anim", -1, 5, true, 6},
    {"bubbles", -1, 6, true, 216},
    {"sparkle_xy", -1, 7, true, 4},
    {"sparkles", -1, 8, true, 48},
    {"flags_82d1", -1, 9, true, 4},
    {"arc", -1, 10, true, 32},
    {"scripted_obj", -1, 11, true, 20},
    {"troll_anim", -1, 12, true, 6},
    {"rope", -1, 13, true, 24},
    {"rope_pts", -1, 14, true, 100},
    {"a29_anim", -1, 15, true, 6},
    {"a17_anims", -1, 16, true, 24},
    {"a10_guard", -1, 17, true, 22},
    {"a1_walker", -1, 18, true, 36},
    {"a1_lamp", -1, 19, true, 8},
    {"a42_gate", -1, 20, true, 12},
    {"a16", -1, 21, true, 12},
    {"a16_anim", -1, 22, true, 6},
    {"shots", -1, 23, true, 288},
    {"a16_exit", -1, 24, true, 14},
    {"chain", -1, 25, true, 6},
    {"anim_8180", -1, 26, true, 6},
    {"anim_818c", -1, 27, true, 6},
    {"anim_81aa", -1, 28, true, 6},
    {"anim_817a", -1, 29, true, 6},
    {"anim_8198", -1, 30, true, 6},
    {"a28_timers", -1, 31, true, 32},
    {"particles", -1, 32, true, 60},
    {"effects", -1, 33, true, 112},
    {"lifts", -1, 34, true, 162},
    {"objects", -1, 35, true, 992},
    {"objects_here", -1, 36, true, 128},
    {"inventory", -1, 37, true, 10},
    {"inv_timers", -1, 38, true, 14},
    {"door_states", -1, 39, true, 64},
    {"actors", -1, 40, true, 2320},
    {"palette_variant", 197, -1, true, 0},
    {"hazard_phase_timer", 198, -1, true, 0},
    {"star_phase_timer", 199, -1, true, 0},
    {"w910c", 200, -1, true, 0},
    {"star_show", 201, -1, true, 0},
    {"star_angle", 202, -1, true, 0},
    {"star_scale", 203, -1, true, 0},
    {"star_points_n", 204, -1, true, 0},
    {"palette_timer", 205, -1, true, 0},
    {"palette_fading", 206, -1, true, 0},
    {"palette_fade_step", 207, -1, true, 0},
    {"a0_blink", 208, -1, true, 0},
    {"w822c", 209, -1, true, 0},
    {"w81fc", 210, -1, true, 0},
    {"a11_sway", 211, -1, true, 0},
    {"a11_timer", 212, -1, true, 0},
    {"flag_82cb", 213, -1, true, 0},
    {"flag_82fc", 214, -1, true, 0},
    {"flag_82fd", 215, -1, true, 0},
    {"flag_82ff", 216, -1, true, 0},
    {"hint_timer", 217, -1, true, 0},
    {"hint_phase", 218, -1, true, 0},
    {"w8312", 219, -1, true, 0},
    {"w8134", 220, -1, true, 0},
    {"a18_blink", 221, -1, true, 0},
    {"a18_t1", 222, -1, true, 0},
    {"a18_t2", 223, -1, true, 0},
    {"w8242", 224, -1, true, 0},
    {"expression", 225, -1, true, 0},
    {"frame_bases", -1, 41, true, 30},
    {"panel_anim", -1, 42, true, 6},
    {"passage_anim", -1, 43, true, 6},
    {"a0_anim1", -1, 44, true, 6},
    {"a0_anim2", -1, 45, true, 6},
    {"a9_canim", -1, 46, true, 6},
    {"a10_anim", -1, 47, true, 6},
    {"a15_anim", -1, 48, true, 6},
    {"anim_8162", -1, 49, true, 6},
    {"anim_8168", -1, 50, true, 6},
    {"anim_8186", -1, 51, true, 6},
    {"tunnel_light", -1, 52, true, 6},
    {"anim_812e", -1, 53, true, 6},
    {"anim_837e", -1, 54, true, 6},
    {"anim_8416", -1, 55, true, 6},
    {"anim_8410", -1, 56, true, 6},
    {"anim_8384", -1, 57, true, 6},
    {"hazard_phases", -1, 58, true, 8},
    {"star_phases", -1, 59, true, 12},
    {"star_points", -1, 60, true, 184},
    {"block_anims", -1, 61, true, 64},
    {"sub_ram", -1, 62, true, 3506},
    {"x_next", 133, -1, false, 0},
    {"y_prev", 134, -1, false, 0},
    {"sprite_x", 135, -1, false, 0},
    {"refresh_hz", 136, -1, false, 0},
    {"language", 137, -1, false, 0},
    {"sub_result", 138, -1, false, 0},
    {"sub_phase", 139, -1, false, 0},
    {"w90b6", 140, -1, false, 0},
    {"menu_cursor", 141, -1, false, 0},
    {"menu_latch", 142, -1, false, 0},
    {"menu_frames", 143, -1, false, 0},
    {"in_subgame", 144, -1, false, 0},
    {"push_sprite_x", 145, -1, false, 0},
    {"push_x", 146, -1, false, 0},
    {"push_y", 147, -1, false, 0},
    {"push_vy", 148, -1, false, 0},
    {"push_frame", 149, -1, false, 0},
    {"push_anim", 150, -1, false, 0},
    {"push_camera", 151, -1, false, 0},
    {"push_damage", 152, -1, false, 0},
    {"push_shown", 153, -1, false, 0},
    {"step_stage", 154, -1, false, 0},
    {"respawn_pending", 155, -1, false, 0},
    {"sub_lost", 156, -1, false, 0},
    {"screen_kind", 157, -1, false, 0},
    {"screen_event", 158, -1, false, 0},
    {"screen_frame", 159, -1, false, 0},
    {"lives_wait", 160, -1, false, 0},
    {"lives_after", 161, -1, false, 0},
    {"go_phase", 162, -1, false, 0},
    {"go_timer", 163, -1, false, 0},
    {"go_x", 164, -1, false, 0},
    {"go_y", 165, -1, false, 0},
    {"go_sx", 166, -1, false, 0},
    {"go_sy", 167, -1, false, 0},
    {"go_vx", 168, -1, false, 0},
    {"go_vy", 169, -1, false, 0},
    {"go_x2", 170, -1, false, 0},
    {"go_y2", 171, -1, false, 0},
    {"go_sx2", 172, -1, false, 0},
    {"go_sy2", 173, -1, false, 0},
    {"front", 174, -1, false, 0},
    {"front_step", 175, -1, false, 0},
    {"menu_prev", 176, -1, false, 0},
    {"title_code", 177, -1, false, 0},
    {"title_bonus", 178, -1, false, 0},
    {"att_side", 179, -1, false, 0},
    {"att_out", 180, -1, false, 0},
    {"att_fade", 181, -1, false, 0},
    {"fade_level", 182, -1, false, 0},
    {"fade_delta", 183, -1, false, 0},
    {"fade_shown", 184, -1, false, 0},
    {"code_menu", 185, -1, false, 0},
    {"cram_line0", 186, -1, false, 0},
    {"cram_line2", 187, -1, false, 0},
    {"sand_top", 188, -1, false, 0},
    {"tower_buf3", 189, -1, false, 0},
    {"tower_cram3", 190, -1, false, 0},
    {"tower_px", 191, -1, false, 0},
    {"tower_py", 192, -1, false, 0},
    {"music", 193, -1, false, 0},
    {"music_wait", 194, -1, false, 0},
    {"push_music", 195, -1, false, 0},
    {"lives_music", 196, -1, false, 0},
    {"tower_edge", -1, 63, false, 208},
    {"title_ram", -1, 64, false, 3120},
    {"tower_ring", -1, 65, false, 16},
}};

const std::unordered_map<std::string_view, const FieldInfo*>& fieldIndex() {
    static const auto* index = [] {
        auto* m = new std::unordered_map<std::string_view, const FieldInfo*>();
        for (const FieldInfo& f : kFields) m->emplace(f.name, &f);
        return m;
    }();
    return *index;
}

}  // namespace

GameState::GameState() {
    for (std::size_t i = 0; i < kBlockFieldCount; ++i) (this->*kBlockMembers[i]).assign(kBlockSizes[i], 0);
}

std::int64_t& GameState::scalar(std::size_t index) { return this->*kScalarMembers.at(index); }
std::int64_t GameState::scalar(std::size_t index) const { return this->*kScalarMembers.at(index); }
std::vector<std::uint8_t>& GameState::block(std::size_t index) { return this->*kBlockMembers.at(index); }
const std::vector<std::uint8_t>& GameState::block(std::size_t index) const { return this->*kBlockMembers.at(index); }

std::int64_t* GameState::scalarByName(std::string_view name) {
    const FieldInfo* f = findField(name);
    return f && f->isScalar() ? &(this->*kScalarMembers[f->scalarIndex]) : nullptr;
}

const std::int64_t* GameState::scalarByName(std::string_view name) const {
    return const_cast<GameState*>(this)->scalarByName(name);
}

std::vector<std::uint8_t>* GameState::blockByName(std::string_view name) {
    const FieldInfo* f = findField(name);
    return f && !f->isScalar() ? &(this->*kBlockMembers[f->blockIndex]) : nullptr;
}

const std::vector<std::uint8_t>* GameState::blockByName(std::string_view name) const {
    return const_cast<GameState*>(this)->blockByName(name);
}

std::optional<std::int64_t> GameState::get(std::string_view name) const {
    const std::int64_t* p = scalarByName(name);
    if (!p) return std::nullopt;
    return *p;
}

bool GameState::set(std::string_view name, std::int64_t value) {
    std::int64_t* p = scalarByName(name);
    if (!p) return false;
    *p = value;
    return true;
}

bool GameState::setBlock(std::string_view name, std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t>* p = blockByName(name);
    if (!p || p->size() != bytes.size()) return false;
    std::copy(bytes.begin(), bytes.end(), p->begin());
    return true;
}

std::span<const FieldInfo> gameStateFields() { return kFields; }

const FieldInfo* findField(std::string_view name) {
    const auto& index = fieldIndex();
    auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

std::vector<std::string_view> differingFields(const GameState& a, const GameState& b) {
    std::vector<std::string_view> out;
    for (const FieldInfo& f : kFields) {
        bool same = f.isScalar() ? a.scalar(f.scalarIndex) == b.scalar(f.scalarIndex)
                                 : a.block(f.blockIndex) == b.block(f.blockIndex);
        if (!same) out.push_back(f.name);
    }
    return out;
}

}  // namespace sim
