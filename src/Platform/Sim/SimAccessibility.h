// Accessibility of the simulated desktop: attributes of the world's applications,
// windows and their child elements, behind the trust flag. Every read and write is
// counted by the kind of element it reaches, as benchmarks report calls per window.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "Platform/Accessibility.h"
#include "Platform/Sim/SimWorld.h"

namespace kestr {

class SimAccessibility : public Accessibility {
public:
    SimAccessibility(SimWorld& world, MainActor& actor) : world_(world), actor_(actor) {}

    bool isProcessTrusted() override { return world_.trusted; }
    bool isProcessTrustedWithOptions(bool prompt) override;
    AXElement createApplication(std::int32_t pid) override { return world_.applicationElement(pid); }
    AXElement createSystemWide() override { return world_.systemWideElement(); }
    AXError copyAttributeValue(AXElement element, const std::string& attribute, AXValue& value) override;
    AXError setAttributeValue(AXElement element, const std::string& attribute, const AXValue& value) override;
    std::optional<std::int32_t> pid(AXElement element) override;
    // A simulated window takes a written frame at once; it counts as still once no write
    // has changed its frame for the quiet period, as a real window does after its last
    // change.
    Task<void> quiet(AXElement window, double quietPeriod, double deadline) override;

    // ---- permission prompt ----
    // How many times the system was asked to show its prompt while not trusted.
    int promptsShown() const { return promptsShown_; }

    // ---- call counts ----
    std::uint64_t reads(SimElementKind kind) const { return reads_[index(kind)]; }
    std::uint64_t writes(SimElementKind kind) const { return writes_[index(kind)]; }
    std::uint64_t totalReads() const;
    std::uint64_t totalWrites() const;
    void resetCounts();

private:
    static std::size_t index(SimElementKind kind) { return static_cast<std::size_t>(kind); }
    AXError readApplication(SimProcess& process, const std::string& attribute, AXValue& value);
    AXError readWindow(const SimWindow& window, const std::string& attribute, AXValue& value);
    AXError readChild(const SimElement& child, const std::string& attribute, AXValue& value);
    AXError writeApplication(SimProcess& process, const std::string& attribute, const AXValue& value);
    AXError writeWindow(SimWindow& window, const std::string& attribute, const AXValue& value);

    SimWorld& world_;
    MainActor& actor_;
    // When a write last changed each window's frame.
    std::map<AXElement, double> framedAt_;
    int promptsShown_ = 0;
    std::array<std::uint64_t, 4> reads_{};
    std::array<std::uint64_t, 4> writes_{};
};

}  // namespace kestr
