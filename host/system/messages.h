// The window messages and values the host handles, with the platform's numbers.
#pragma once

namespace saver {

constexpr unsigned kWmCreate = 0x0001;
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmEraseBackground = 0x0014;
constexpr unsigned kWmKeyDown = 0x0100;
constexpr unsigned kWmKeyUp = 0x0101;
constexpr unsigned kWmSysKeyDown = 0x0104;
constexpr unsigned kWmInitDialog = 0x0110;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmSysCommand = 0x0112;
constexpr unsigned kWmTimer = 0x0113;
constexpr unsigned kWmHScroll = 0x0114;
constexpr unsigned kWmMouseMove = 0x0200;
constexpr unsigned kWmLButtonDown = 0x0201;
constexpr unsigned kWmRButtonDown = 0x0204;
constexpr unsigned kWmMButtonDown = 0x0207;
constexpr unsigned kScMonitorPower = 0xF170;

}  // namespace saver
