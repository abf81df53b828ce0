#pragma once
// The settings record. Its first 124 bytes are, byte for byte, the settings message the
// engine board receives, so the layout is a wire format: 75 little-endian int32 words.

#include <cstddef>
#include <cstdint>

struct SettingRecord {
    // Sent to the engine (bytes 0..123).
    int32_t length;
    int32_t command;
    int32_t mode;
    int32_t format_type;
    int32_t capacity_test;
    int32_t reserved1;
    int32_t write_speed;
    int32_t read_speed;
    int32_t need_format;
    int32_t port_count;
    int32_t copy_cap;
    int32_t copy_err;
    int32_t reserved2;
    int32_t machine_type;
    int32_t board_model;
    int32_t machine_variant;
    int32_t test_block;
    int32_t copy_block;
    int32_t pre_format;
    int32_t after_format;
    int32_t burnin_cycle;
    int32_t burnin_time;
    int32_t burnin_content;
    int32_t burnin_block;
    int32_t burnin_data;
    int32_t language;
    int32_t wipe_mode;
    int32_t volumekeep;
    int32_t analysisPre;
    int32_t createMBR;
    int32_t COPYTIMECOUNT;
    // Panel only (bytes 124..299).
    int32_t MASTERCLEAR;
    int32_t testSizeMode;
    int32_t testSizePercent;
    int32_t testSizeM;
    int32_t testSizeReg;
    int32_t reserved3;
    int32_t capfil_enable[9];
    int32_t capfil_low[9];
    int32_t capfil_high[9];
    int32_t capfil_color[9];
    int32_t capfil_test_enable;
    int32_t capfil_format_enable;
};

constexpr size_t kSettingRecordSize = 300;
constexpr size_t kSettingMessageSize = 124;

static_assert(sizeof(SettingRecord) == kSettingRecordSize, "settings record is 300 bytes");
static_assert(offsetof(SettingRecord, length) == 0);
static_assert(offsetof(SettingRecord, command) == 4);
static_assert(offsetof(SettingRecord, mode) == 8);
static_assert(offsetof(SettingRecord, format_type) == 12);
static_assert(offsetof(SettingRecord, capacity_test) == 16);
static_assert(offsetof(SettingRecord, reserved1) == 20);
static_assert(offsetof(SettingRecord, write_speed) == 24);
static_assert(offsetof(SettingRecord, read_speed) == 28);
static_assert(offsetof(SettingRecord, need_format) == 32);
static_assert(offsetof(SettingRecord, port_count) == 36);
static_assert(offsetof(SettingRecord, copy_cap) == 40);
static_assert(offsetof(SettingRecord, copy_err) == 44);
static_assert(offsetof(SettingRecord, reserved2) == 48);
static_assert(offsetof(SettingRecord, machine_type) == 52);
static_assert(offsetof(SettingRecord, board_model) == 56);
static_assert(offsetof(SettingRecord, machine_variant) == 60);
static_assert(offsetof(SettingRecord, test_block) == 64);
static_assert(offsetof(SettingRecord, copy_block) == 68);
static_assert(offsetof(SettingRecord, pre_format) == 72);
static_assert(offsetof(SettingRecord, after_format) == 76);
static_assert(offsetof(SettingRecord, burnin_cycle) == 80);
static_assert(offsetof(SettingRecord, burnin_time) == 84);
static_assert(offsetof(SettingRecord, burnin_content) == 88);
static_assert(offsetof(SettingRecord, burnin_block) == 92);
static_assert(offsetof(SettingRecord, burnin_data) == 96);
static_assert(offsetof(SettingRecord, language) == 100);
static_assert(offsetof(SettingRecord, wipe_mode) == 104);
static_assert(offsetof(SettingRecord, volumekeep) == 108);
static_assert(offsetof(SettingRecord, analysisPre) == 112);
static_assert(offsetof(SettingRecord, createMBR) == 116);
static_assert(offsetof(SettingRecord, COPYTIMECOUNT) == 120);
static_assert(offsetof(SettingRecord, MASTERCLEAR) == 124);
static_assert(offsetof(SettingRecord, testSizeMode) == 128);
static_assert(offsetof(SettingRecord, testSizePercent) == 132);
static_assert(offsetof(SettingRecord, testSizeM) == 136);
static_assert(offsetof(SettingRecord, testSizeReg) == 140);
static_assert(offsetof(SettingRecord, reserved3) == 144);
static_assert(offsetof(SettingRecord, capfil_enable) == 148);
static_assert(offsetof(SettingRecord, capfil_low) == 184);
static_assert(offsetof(SettingRecord, capfil_high) == 220);
static_assert(offsetof(SettingRecord, capfil_color) == 256);
static_assert(offsetof(SettingRecord, capfil_test_enable) == 292);
static_assert(offsetof(SettingRecord, capfil_format_enable) == 296);
