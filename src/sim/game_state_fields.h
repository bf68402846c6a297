#pragma once
// The one list of the game state's fields. Each field is listed once, with what it means; GameState's
// members, their declaration order, the field table (names, kinds, traced flags, block sizes) and the
// index constants are all generated from these lists.
//
// The lists are in table order (the order of saves and traces): traced scalars, traced blocks, more
// traced scalars, more traced blocks, then the program's own scalars and blocks. The members are
// declared in another order, kept for the declaration indices: the scalars of the first, fifth and third
// lists, then the blocks of the second, fourth and sixth.
//
// X(name, "meaning") for a scalar (a signed 64-bit value holding the console's), X(name, size,
// "meaning") for a block (a fixed-size image of console RAM, big-endian words). Flags hold 0 or 255.

#define GROVANTA_TRACED_SCALARS(X)                                                                                    \
  X(area, "current area id")                                                                                          \
  X(x, "hero x, 16.16")                                                                                               \
  X(y, "hero y, 16.16")                                                                                               \
  X(vy, "hero vertical speed, 16.16, down positive")                                                                  \
  X(dx, "hero horizontal step of the frame (whole pixels)")                                                           \
  X(fast, "1 when the last walking step was 2 pixels")                                                                \
  X(speed_l, "walking-speed index to the left (0..9)")                                                                \
  X(speed_r, "walking-speed index to the right (0..9)")                                                               \
  X(jump, "0 none, 1 straight, 2 left, 3 right")                                                                      \
  X(air, "1 while gravity acts")                                                                                      \
  X(settled, "1 standing on the ground")                                                                              \
  X(fall_max, "frames fallen at top speed")                                                                           \
  X(stun, "frames of stun left after a hard landing")                                                                 \
  X(sprite_frame, "hero's sprite frame (bit 7 mirrors)")                                                              \
  X(anim, "ROM address of the hero's animation sequence")                                                             \
  X(anim_count, "frames left on the current animation frame")                                                         \
  X(anim_index, "index in the animation sequence")                                                                    \
  X(camera_x, "area x at the left screen edge (game over: frame counter)")                                            \
  X(lock, "B-action state (0 free, 1, 2)")                                                                            \
  X(facing, "last walking direction (−1, 1)")                                                                         \
  X(action_done, "255 once the B action took effect")                                                                 \
  X(restart_x, "restart point x")                                                                                     \
  X(restart_y, "restart point y")                                                                                     \
  X(restart_area, "restart point area")                                                                               \
  X(rng, "random generator state (32-bit value)")                                                                     \
  X(damage, "energy used, 16.16, 64.0 = death")                                                                       \
  X(damage_show, "frames the energy bar stays shown")                                                                 \
  X(energy_ramp, "gradual energy change: bits 0..14 frames, bit 15 drain")                                            \
  X(grace, "frames before drowning starts")                                                                           \
  X(dying, "0 alive, 1 triggered, 2 dying")                                                                           \
  X(death_timer, "frames until the death is resolved")                                                                \
  X(lives, "lives left")                                                                                              \
  X(hazard_hit, "death came from a hazard")                                                                           \
  X(area_timer, "random timer of area 0's watcher")                                                                   \
  X(score, "score (16-bit)")                                                                                          \
  X(stars_left, "stars still to collect (250 at start)")                                                              \
  X(lift_near, "the current area's lift (RAM address, low 16 bits) or 0")                                             \
  X(door_locks, "32 door lock bits (bit 31 − i for door i)")                                                          \
  X(objects_here_count, "entries in objects_here")                                                                    \
  X(event, "pending event (message) number, 0 none")                                                                  \
  X(idle_timer, "frames without progress")                                                                            \
  X(flag_830a, "console flag byte FF830A (0 or 255); the idle reminder has been shown")                               \
  X(pause_delay, "frames since the last pause (START accepted after 90 or 75)")                                       \
  X(cheat_left, "set to 1 by the new game")                                                                           \
  X(flag_82ef, "console flag byte FF82EF (0 or 255); the lamp of area 6 is lit")                                      \
  X(variant_ad, "255 while the hero is in water")                                                                     \
  X(float_y, "y a drowned hero floats up to")                                                                         \
  X(spring, "spring active (area 8)")                                                                                 \
  X(flag_82ce, "console flag byte FF82CE (0 or 255); set by the use routine 0x00A00C (area 8)")                       \
  X(stroke_ready, "a swim stroke may start")                                                                          \
  X(stroke_stand, "the last stroke started from standing")                                                            \
  X(surfaced, "the hero broke the water surface")                                                                     \
  X(water_surface, "y of the area's water surface (0 none)")                                                          \
  X(sinking, "255 while the ground gives way")                                                                        \
  X(rain_left, "frames of rain left")                                                                                 \
  X(rain_ramp, "rain build-up (0..112)")                                                                              \
  X(rain_wait, "frames until the next rain")                                                                          \
  X(indoors, "255 in areas where rain does not fall")                                                                 \
  X(area18_timer, "random blink timer of area 18")                                                                    \
  X(side_82c9, "side on which the troll of area 34 stands: 0 after area 18, 255 after area 19")                       \
  X(on_object, "id of the platform the hero stands on, 0 none")                                                       \
  X(flag_8300, "area 9's creatures stopped; cleared by loadArea")                                                     \
  X(guard10, "state of the guard of area 10: 0 and 1 facing, 2 to 4 knocked away")                                    \
  X(bob_phase, "phase of area 10's floating platform (even, 0 to 62)")                                                \
  X(bob_base, "water level of area 10's floating platform (16.16)")                                                   \
  X(a13_y, "y (16.16) of area 13's rising platform")                                                                  \
  X(flag_82c1, "area 13's platform has burst and is re-forming")                                                      \
  X(bubble_timer, "bubble spawn timer (4 after an area load)")                                                        \
  X(flag_82b0, "console flag byte FF82B0 (0 or 255)")                                                                 \
  X(flag_82b1, "console flag byte FF82B1 (0 or 255)")                                                                 \
  X(flag_811a, "console flag byte FF811A (0 or 255)")                                                                 \
  X(flag_8309, "console flag byte FF8309 (0 or 255); idle timer stopped")                                             \
  X(flag_82bd, "area 13's wall is open and its platform runs")                                                        \
  X(flag_82c8, "console flag byte FF82C8 (0 or 255)")                                                                 \
  X(flag_82cc, "console flag byte FF82CC (0 or 255)")                                                                 \
  X(flag_82d6, "console flag byte FF82D6 (0 or 255); disables the first area 26 action")                              \
  X(flag_82d7, "console flag byte FF82D7 (0 or 255)")                                                                 \
  X(flag_82d8, "console flag byte FF82D8 (0 or 255)")                                                                 \
  X(flag_82db,                                                                                                        \
    "console flag byte FF82DB (0 or 255); object kind 23 cannot be picked up; enables the area 18 subgames")          \
  X(flag_82e0, "console flag byte FF82E0 (0 or 255); object kind 27 cannot be picked up; enables the area 17 action") \
  X(flag_82e8, "console flag byte FF82E8 (0 or 255); selects event 9 in area 27")                                     \
  X(flag_82e9, "console flag byte FF82E9 (0 or 255); selects event 6 in area 22")                                     \
  X(flag_82f7, "console flag byte FF82F7 (0 or 255)")                                                                 \
  X(flag_82f8, "console flag byte FF82F8 (0 or 255)")                                                                 \
  X(flag_82fb, "console flag byte FF82FB (0 or 255)")                                                                 \
  X(flag_8305, "console flag byte FF8305 (0 or 255); sparkles instead of rain in area 43")                            \
  X(w825a, "area 28: which of two places holds the placed object (1 or 2)")                                           \
  X(flag_82cd, "console flag byte FF82CD (0 or 255)")                                                                 \
  X(flag_82c7, "console flag byte FF82C7 (0 or 255); sparkles running")                                               \
  X(sparkle_timer, "frames of sparkles left")                                                                         \
  X(flag_82bf, "console flag byte FF82BF (0 or 255); hero control frozen (rope)")                                     \
  X(flag_82c4, "console flag byte FF82C4 (0 or 255)")                                                                 \
  X(flag_82c5, "console flag byte FF82C5 (0 or 255)")                                                                 \
  X(flag_82dc, "console flag byte FF82DC (0 or 255)")                                                                 \
  X(flag_82dd, "console flag byte FF82DD (0 or 255)")                                                                 \
  X(flag_82bb, "console flag byte FF82BB (0 or 255)")                                                                 \
  X(flag_82c3, "console flag byte FF82C3 (0 or 255)")                                                                 \
  X(flag_82bc, "console flag byte FF82BC (0 or 255)")                                                                 \
  X(w8310, "area 26: number of thrown objects that arrived")                                                          \
  X(flag_82d5, "console flag byte FF82D5 (0 or 255)")                                                                 \
  X(flag_82f0, "console flag byte FF82F0 (0 or 255)")                                                                 \
  X(flag_82f1, "console flag byte FF82F1 (0 or 255)")                                                                 \
  X(flag_82ba, "console flag byte FF82BA (0 or 255)")                                                                 \
  X(flag_8307, "console flag byte FF8307 (0 or 255)")                                                                 \
  X(troll_x, "distance the troll of area 34 has walked off")                                                          \
  X(troll_state, "the troll's state: 0 idle, 1 walking off, 2 gone")                                                  \
  X(flag_82e3, "console flag byte FF82E3 (0 or 255); rope taken; also gates a scenery routine of areas 2, 3, 5")      \
  X(flag_82e4, "console flag byte FF82E4 (0 or 255); hero's animation step and sprite suppressed")                    \
  X(flag_82e5, "console flag byte FF82E5 (0 or 255); rope state")                                                     \
  X(flag_82e6, "console flag byte FF82E6 (0 or 255); rope state")                                                     \
  X(flag_82d0, "console flag byte FF82D0 (0 or 255); event 15 raised by picking up kind 6")                           \
  X(flag_82fe, "console flag byte FF82FE (0 or 255); object 0 has been picked up")                                    \
  X(flag_82d9, "area 29's trapdoor has opened")                                                                       \
  X(flag_82f2, "console flag byte FF82F2 (0 or 255); suppresses the music of area 31; cleared on the sea return")     \
  X(flag_82e1, "console flag byte FF82E1 (0 or 255)")                                                                 \
  X(flag_82e2, "console flag byte FF82E2 (0 or 255); set by the area 17 action")                                      \
  X(flag_82de, "console flag byte FF82DE (0 or 255)")                                                                 \
  X(flag_82df, "console flag byte FF82DF (0 or 255)")                                                                 \
  X(w8314, "area 10: frame counter of the growing column")                                                            \
  X(w8316, "area 10: height of the growing column in pieces (0 to 10)")                                               \
  X(flag_82eb, "console flag byte FF82EB (0 or 255); area 1 exchange done")                                           \
  X(flag_82ea, "console flag byte FF82EA (0 or 255); area 1 walker touched")                                          \
  X(flag_8306, "area 42's gate has opened (its sound was queued)")                                                    \
  X(mode, "subgame to enter or running (0 none; )")                                                                   \
  X(flag_82fa, "console flag byte FF82FA (0 or 255); event 14 (all stars) raised")                                    \
  X(w825e, "area 18's countdown")                                                                                     \
  X(flag_82f9, "console flag byte FF82F9 (0 or 255); set in area 45; selects mode 7 in area 18")                      \
  X(flag_8301, "area 16: the hero has passed the shooter")                                                            \
  X(flag_82f3, "area 16: the hero rides the cart to the minecart subgame; cleared on the minecart return")            \
  X(timer_8330, "area 26: pause of the figure")                                                                       \
  X(w825c, "area 28: frame counter of the event-11 sequence")                                                         \
  X(flag_82da, "console flag byte FF82DA (0 or 255); selects event 12 in area 28")                                    \
  X(particle_timer, "particle timer (0 at new game)")

#define GROVANTA_TRACED_BLOCKS(X)                                                                                     \
  X(flags, 128, "1024 bits: items taken")                                                                             \
  X(item_flags, 8, "carried-object flags")                                                                            \
  X(platforms, 32, "8 platform longs for the next frame")                                                             \
  X(platform_recs, 48, "4 RAM platform records of 12 bytes (RAM FF9F0C)")                                             \
  X(area9, 30,                                                                                                        \
    "the area-9 creature's record: named fields 'x' 0 (long), 'y' 4 (long), 'speed' 8 (long), 'state' 12, 'timer' "   \
    "14, 'frame' 16, 'count' 18, 'index' 20, 'cx' 22, 'cy' 24, 'c22' 26, 'cstate' 28")                                \
  X(a13_anim, 6, "animation record of area 13's rising platform")                                                     \
  X(bubbles, 216, "12 bubble records of 18 bytes")                                                                    \
  X(sparkle_xy, 4, "sparkle origin (x, y words)")                                                                     \
  X(sparkles, 48, "8 sparkle records of 6 bytes")                                                                     \
  X(flags_82d1, 4, "area 26: four thrown-object flags (console RAM FF82D1..FF82D4)")                                  \
  X(arc, 32, "arc record (swap puzzle / scenery)")                                                                    \
  X(scripted_obj, 20,                                                                                                 \
    "moving thing of areas 20 and 31: x and y (16.16) at 0..7, vx 8..11, vy 12..15, phase word 16, counter word 18")  \
  X(troll_anim, 6, "the troll's animation record")                                                                    \
  X(rope, 24, "the rope being climbed")                                                                               \
  X(rope_pts, 100,                                                                                                    \
    "points of the rope, of the chain of area 8 and of the shooter's rope of area 16 (4 bytes each: x word, y word)") \
  X(a29_anim, 6, "animation record of area 29")                                                                       \
  X(a17_anims, 24, "four animation records of area 17's machine")                                                     \
  X(a10_guard, 22, "the guard of area 10: x and y (16.16), animation record at 8, vx at 14..17, vy at 18..21")        \
  X(a1_walker, 36, "the walker of area 1")                                                                            \
  X(a1_lamp, 8, "the gate of area 1: animation record and height word")                                               \
  X(a42_gate, 12, "the gate of area 42: position, jerk and speed (16.16 longs)")                                      \
  X(a16, 12, "the shooter of area 16: words angle, length, active, fire timer, target angle, aim timer")              \
  X(a16_anim, 6, "animation record of area 16's shooter")                                                             \
  X(shots, 288, "16 shot records of 18 bytes")                                                                        \
  X(a16_exit, 14, "the cart of area 16: x word, y (16.16) at 4..7, animation record at 8")                            \
  X(chain, 6, "the chain of area 8: words state, speed, angle")                                                       \
  X(anim_8180, 6, "animation record at console RAM FF8180")                                                           \
  X(anim_818c, 6, "animation record at console RAM FF818C")                                                           \
  X(anim_81aa, 6, "animation record at console RAM FF81AA")                                                           \
  X(anim_817a, 6, "animation record at console RAM FF817A")                                                           \
  X(anim_8198, 6, "animation record at console RAM FF8198")                                                           \
  X(a28_timers, 32, "four animation records with pause words of area 28's scenery")                                   \
  X(particles, 60, "particle records (new game: FF markers)")                                                         \
  X(effects, 112, "8 falling-effect records of 14 bytes")                                                             \
  X(lifts, 162, "9 lift records of 18 bytes")                                                                         \
  X(objects, 992, "62 object records of 16 bytes")                                                                    \
  X(objects_here, 128, "RAM addresses of the objects here (32 longs)")                                                \
  X(inventory, 10, "5 words: dropping, in transit, three carried")                                                    \
  X(inv_timers, 14, "7 words of the panel slides")                                                                    \
  X(door_states, 64, "8 door records of 8 bytes")                                                                     \
  X(actors, 2320, "40 actor records of 58 bytes")

#define GROVANTA_LATER_TRACED_SCALARS(X)                                                         \
  X(palette_variant, "palette variant index 0..3")                                               \
  X(hazard_phase_timer, "frames to the next hazard phase rotation (5)")                          \
  X(star_phase_timer, "frames to the next star phase rotation (5)")                              \
  X(w910c, "last value of the subgame RAM word FF910C")                                          \
  X(star_show, "frames the star counter stays")                                                  \
  X(star_angle, "star counter rotation (even byte offset)")                                      \
  X(star_scale, "star counter scale (0x7FFF full)")                                              \
  X(star_points_n, "points of the star counter")                                                 \
  X(palette_timer, "frames to the next palette variant (3500)")                                  \
  X(palette_fading, "255 while a palette fade runs")                                             \
  X(palette_fade_step, "frames of the running palette fade")                                     \
  X(a0_blink, "frames left of area 0's watcher blink")                                           \
  X(w822c, "frame of the object thrown in area 9")                                               \
  X(w81fc, "frame of the object thrown at area 10's guard")                                      \
  X(a11_sway, "scenery state of area 11 (sway)")                                                 \
  X(a11_timer, "scenery state of area 11 (timer)")                                               \
  X(flag_82cb, "console flag byte FF82CB (0 or 255); set by the use routine 0x00A0E2 (area 15)") \
  X(flag_82fc, "console flag byte FF82FC (0 or 255); a door opened by animation")                \
  X(flag_82fd, "console flag byte FF82FD (0 or 255); hint condition")                            \
  X(flag_82ff, "console flag byte FF82FF (0 or 255); hint given")                                \
  X(hint_timer, "area 21's hint timer")                                                          \
  X(hint_phase, "wobble phase of the hint arrows (event 21 reminder, area 21 hints)")            \
  X(w8312, "frame of the object thrown in area 26")                                              \
  X(w8134, "frame of the object thrown in area 18")                                              \
  X(a18_blink, "scenery state of area 18 (blink)")                                               \
  X(a18_t1, "scenery state of area 18 (t1)")                                                     \
  X(a18_t2, "scenery state of area 18 (t2)")                                                     \
  X(w8242, "frame of the object thrown in area 20")                                              \
  X(expression, "hero's face on screens (0, 1 on a moving lift, 2 rain or drowning)")

#define GROVANTA_LATER_TRACED_BLOCKS(X)                                   \
  X(frame_bases, 30, "15 per-actor-type base frames of the area")         \
  X(panel_anim, 6, "energy bar flash animation record")                   \
  X(passage_anim, 6, "the lamp animation of area 6")                      \
  X(a0_anim1, 6, "scenery state of area 0 (anim1)")                       \
  X(a0_anim2, 6, "scenery state of area 0 (anim2)")                       \
  X(a9_canim, 6, "program sequence record of area 9's charging creature") \
  X(a10_anim, 6, "program sequence record of area 10's released thing")   \
  X(a15_anim, 6, "program sequence record of area 15's fountain")         \
  X(anim_8162, 6, "animation record at console RAM FF8162")               \
  X(anim_8168, 6, "animation record at console RAM FF8168")               \
  X(anim_8186, 6, "animation record at console RAM FF8186")               \
  X(tunnel_light, 6, "tunnel light animation record")                     \
  X(anim_812e, 6, "animation record at console RAM FF812E")               \
  X(anim_837e, 6, "animation record at console RAM FF837E")               \
  X(anim_8416, 6, "animation record at console RAM FF8416")               \
  X(anim_8410, 6, "animation record at console RAM FF8410")               \
  X(anim_8384, 6, "animation record at console RAM FF8384")               \
  X(hazard_phases, 8, "4 hazard phase words (rotate every 6 frames)")     \
  X(star_phases, 12, "6 star phase words (rotate every 6 frames)")        \
  X(star_points, 184, "points of the star counter (46 × 4 bytes)")        \
  X(block_anims, 64, "8 animated-block records of the area")              \
  X(sub_ram, 3506, "console RAM FF90BA..FF9E6B used by subgames and menus")

#define GROVANTA_OWN_SCALARS(X)                                            \
  X(x_next, "x that walking wants to reach (16.16)")                       \
  X(y_prev, "integer y before the fall step")                              \
  X(sprite_x, "hero's screen x")                                           \
  X(refresh_hz, "60 or 50 (display rate; changes menu and pause timings)") \
  X(language, "language index 0..4")                                       \
  X(sub_result, "result of the last subgame (signed)")                     \
  X(sub_phase, "subgame's phase")                                          \
  X(w90b6, "subgame RAM word FF90B6")                                      \
  X(menu_cursor, "highlighted menu entry")                                 \
  X(menu_latch, "menu direction latch (1 up, 2 down)")                     \
  X(menu_frames, "idle frames on the language menu")                       \
  X(in_subgame, "1 while a subgame runs")                                  \
  X(push_sprite_x, "hero sprite_x saved on entering a subgame")            \
  X(push_x, "hero x saved on entering a subgame")                          \
  X(push_y, "hero y saved")                                                \
  X(push_vy, "hero vy saved")                                              \
  X(push_frame, "hero sprite_frame saved")                                 \
  X(push_anim, "hero anim saved")                                          \
  X(push_camera, "camera_x saved")                                         \
  X(push_damage, "damage saved")                                           \
  X(push_shown, "damage_show saved")                                       \
  X(step_stage, "stage of the game step running")                          \
  X(respawn_pending, "respawn at stage 1")                                 \
  X(sub_lost, "the subgame was lost (modes 5, 6)")                         \
  X(screen_kind, "waiting screen kind 0..4")                               \
  X(screen_event, "event of the waiting screen")                           \
  X(screen_frame, "frames drawn on the waiting screen")                    \
  X(lives_wait, "lives screen: frames before input (to 50)")               \
  X(lives_after, "lives screen: frames after the button (to 70)")          \
  X(go_phase, "game over sign phase 0..2")                                 \
  X(go_timer, "game over sign timer")                                      \
  X(go_x, "game over sign x (32-bit pattern of 16.16)")                    \
  X(go_y, "game over sign y")                                              \
  X(go_sx, "game over sign x scale")                                       \
  X(go_sy, "game over sign y scale")                                       \
  X(go_vx, "game over sign x speed")                                       \
  X(go_vy, "game over sign y speed")                                       \
  X(go_x2, "mirror copy x (integer)")                                      \
  X(go_y2, "mirror copy y")                                                \
  X(go_sx2, "mirror copy x scale")                                         \
  X(go_sy2, "mirror copy y scale")                                         \
  X(front, "front-end phase")                                              \
  X(front_step, "step within the front-end phase")                         \
  X(menu_prev, "menu entry shown before the last move")                    \
  X(title_code, "bit 8: a code key is held")                               \
  X(title_bonus, "1 when the story started with the bonus pad")            \
  X(att_side, "attract slide direction")                                   \
  X(att_out, "attract picture leaving")                                    \
  X(att_fade, "attract fade started")                                      \
  X(fade_level, "attract fade level 0..16")                                \
  X(fade_delta, "attract fade step")                                       \
  X(fade_shown, "attract fade level shown")                                \
  X(code_menu, "1 once the code menu opened")                              \
  X(cram_line0, "front-end palette word; code menu: last subgame + 1")     \
  X(cram_line2, "front-end palette word")                                  \
  X(sand_top, "tower/subgame value")                                       \
  X(tower_buf3, "tower subgame value")                                     \
  X(tower_cram3, "tower subgame palette value")                            \
  X(tower_px, "tower subgame x")                                           \
  X(tower_py, "tower subgame y")                                           \
  X(music, "music playing (last requested)")                               \
  X(music_wait, "frames before an area music change")                      \
  X(push_music, "music saved on entering a subgame")                       \
  X(lives_music, "music saved on entering the lives screen")

#define GROVANTA_OWN_BLOCKS(X)                                                        \
  X(tower_edge, 208, "tower subgame edge data (kept by loadState when sizes differ)") \
  X(title_ram, 3120, "console RAM FF83E0..FF900F used by the title")                  \
  X(tower_ring, 16, "tower subgame ring data")
