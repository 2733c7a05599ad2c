#pragma once

#include <QtGlobal>
#include <functional>

namespace GlobalShortcuts {

// A virtual key code: the keyboard position, whatever the layout prints on it.
struct Key {
    qint64 rawValue = 0;

    constexpr explicit Key(qint64 value)
        : rawValue(value) {}
    friend constexpr bool operator==(Key, Key) = default;

    static constexpr Key a() { return Key(0); }
    static constexpr Key s() { return Key(1); }
    static constexpr Key d() { return Key(2); }
    static constexpr Key f() { return Key(3); }
    static constexpr Key h() { return Key(4); }
    static constexpr Key g() { return Key(5); }
    static constexpr Key z() { return Key(6); }
    static constexpr Key x() { return Key(7); }
    static constexpr Key c() { return Key(8); }
    static constexpr Key v() { return Key(9); }
    static constexpr Key b() { return Key(11); }
    static constexpr Key q() { return Key(12); }
    static constexpr Key w() { return Key(13); }
    static constexpr Key e() { return Key(14); }
    static constexpr Key r() { return Key(15); }
    static constexpr Key y() { return Key(16); }
    static constexpr Key t() { return Key(17); }
    static constexpr Key one() { return Key(18); }
    static constexpr Key two() { return Key(19); }
    static constexpr Key three() { return Key(20); }
    static constexpr Key four() { return Key(21); }
    static constexpr Key six() { return Key(22); }
    static constexpr Key five() { return Key(23); }
    static constexpr Key equal() { return Key(24); }
    static constexpr Key nine() { return Key(25); }
    static constexpr Key seven() { return Key(26); }
    static constexpr Key minus() { return Key(27); }
    static constexpr Key eight() { return Key(28); }
    static constexpr Key zero() { return Key(29); }
    static constexpr Key rightBracket() { return Key(30); }
    static constexpr Key o() { return Key(31); }
    static constexpr Key u() { return Key(32); }
    static constexpr Key leftBracket() { return Key(33); }
    static constexpr Key i() { return Key(34); }
    static constexpr Key p() { return Key(35); }
    static constexpr Key return_() { return Key(36); }
    static constexpr Key l() { return Key(37); }
    static constexpr Key j() { return Key(38); }
    static constexpr Key quote() { return Key(39); }
    static constexpr Key k() { return Key(40); }
    static constexpr Key semicolon() { return Key(41); }
    static constexpr Key backslash() { return Key(42); }
    static constexpr Key comma() { return Key(43); }
    static constexpr Key slash() { return Key(44); }
    static constexpr Key n() { return Key(45); }
    static constexpr Key m() { return Key(46); }
    static constexpr Key period() { return Key(47); }
    static constexpr Key tab() { return Key(48); }
    static constexpr Key space() { return Key(49); }
    static constexpr Key backtick() { return Key(50); }
    static constexpr Key delete_() { return Key(51); }
    static constexpr Key escape() { return Key(53); }
    static constexpr Key rightCommand() { return Key(54); }
    static constexpr Key command() { return Key(55); }
    static constexpr Key shift() { return Key(56); }
    static constexpr Key capsLock() { return Key(57); }
    static constexpr Key option() { return Key(58); }
    static constexpr Key control() { return Key(59); }
    static constexpr Key rightShift() { return Key(60); }
    static constexpr Key rightOption() { return Key(61); }
    static constexpr Key rightControl() { return Key(62); }
    static constexpr Key function() { return Key(63); }
    static constexpr Key f17() { return Key(64); }
    static constexpr Key keypadDecimal() { return Key(65); }
    static constexpr Key keypadMultiply() { return Key(67); }
    static constexpr Key keypadPlus() { return Key(69); }
    static constexpr Key keypadClear() { return Key(71); }
    static constexpr Key volumeUp() { return Key(72); }
    static constexpr Key volumeDown() { return Key(73); }
    static constexpr Key mute() { return Key(74); }
    static constexpr Key keypadDivide() { return Key(75); }
    static constexpr Key keypadEnter() { return Key(76); }
    static constexpr Key keypadMinus() { return Key(78); }
    static constexpr Key f18() { return Key(79); }
    static constexpr Key f19() { return Key(80); }
    static constexpr Key keypadEquals() { return Key(81); }
    static constexpr Key keypad0() { return Key(82); }
    static constexpr Key keypad1() { return Key(83); }
    static constexpr Key keypad2() { return Key(84); }
    static constexpr Key keypad3() { return Key(85); }
    static constexpr Key keypad4() { return Key(86); }
    static constexpr Key keypad5() { return Key(87); }
    static constexpr Key keypad6() { return Key(88); }
    static constexpr Key keypad7() { return Key(89); }
    static constexpr Key f20() { return Key(90); }
    static constexpr Key keypad8() { return Key(91); }
    static constexpr Key keypad9() { return Key(92); }
    static constexpr Key f5() { return Key(96); }
    static constexpr Key f6() { return Key(97); }
    static constexpr Key f7() { return Key(98); }
    static constexpr Key f3() { return Key(99); }
    static constexpr Key f8() { return Key(100); }
    static constexpr Key f9() { return Key(101); }
    static constexpr Key f11() { return Key(103); }
    static constexpr Key f13() { return Key(105); }
    static constexpr Key f16() { return Key(106); }
    static constexpr Key f14() { return Key(107); }
    static constexpr Key f10() { return Key(109); }
    static constexpr Key f12() { return Key(111); }
    static constexpr Key f15() { return Key(113); }
    static constexpr Key help() { return Key(114); }
    static constexpr Key home() { return Key(115); }
    static constexpr Key pageUp() { return Key(116); }
    static constexpr Key deleteForward() { return Key(117); }
    static constexpr Key f4() { return Key(118); }
    static constexpr Key end() { return Key(119); }
    static constexpr Key f2() { return Key(120); }
    static constexpr Key pageDown() { return Key(121); }
    static constexpr Key f1() { return Key(122); }
    static constexpr Key leftArrow() { return Key(123); }
    static constexpr Key rightArrow() { return Key(124); }
    static constexpr Key downArrow() { return Key(125); }
    static constexpr Key upArrow() { return Key(126); }
};

} // namespace GlobalShortcuts

template <> struct std::hash<GlobalShortcuts::Key> {
    std::size_t operator()(GlobalShortcuts::Key key) const noexcept {
        return std::hash<qint64>()(key.rawValue);
    }
};
