#include "sim/simulated_unit.h"

#include <algorithm>
#include <utility>

namespace zrk::sim {

SimulatedUnit::SimulatedUnit(DeviceModel device, Faults faults) : device_(std::move(device)) { setFaults(faults); }

void SimulatedUnit::setFaults(const Faults& faults) {
    faults_ = faults;
    lastFrame_.reset();
    attempt_ = 0;
    if (faults_.disconnectAfter && framesReceived_ >= static_cast<std::size_t>(*faults_.disconnectAfter)) {
        lineLost_ = true;
    }
}

UnitResponse SimulatedUnit::respond(const Frame& frame) {
    UnitResponse response;
    if (lineLost_) return response;
    const auto thisFrame = [this](int k) { return k > 0 && frameNumber_ == static_cast<std::size_t>(k); };
    ++frameNumber_;
    if (thisFrame(faults_.deadFromFrame)) lineDead_ = true;
    if (lineDead_) return response;

    ++framesReceived_;
    const bool stuck = isValidFrame(frame) && frameCommand(frame) == DeviceModel::kWriteMemory &&
                       std::find(faults_.stuckAddresses.begin(), faults_.stuckAddresses.end(),
                                 frameParameter1(frame)) != faults_.stuckAddresses.end();
    const std::uint8_t before = device_.memory(frameParameter1(frame));
    // A stuck segment cell, like a stuck memory cell, answers and keeps its byte.
    std::optional<Faults::SegmentCell> stuckSegment;
    if (isValidFrame(frame) && frameCommand(frame) >= DeviceModel::kWriteSegmentFirst &&
        frameCommand(frame) < DeviceModel::kWriteSegmentFirst + DeviceModel::kSegmentTableCount) {
        const Faults::SegmentCell cell{frameCommand(frame) - DeviceModel::kWriteSegmentFirst + 1,
                                       frameParameter1(frame)};
        if (std::find(faults_.stuckSegments.begin(), faults_.stuckSegments.end(), cell) != faults_.stuckSegments.end())
            stuckSegment = cell;
    }
    const std::uint8_t segmentBefore =
        stuckSegment ? device_.segment(stuckSegment->table, stuckSegment->offset) : std::uint8_t{0};
    const std::optional<Frame> reply = device_.handleFrame(frame);
    if (stuck) device_.setMemory(frameParameter1(frame), before);
    if (stuckSegment) device_.setSegment(stuckSegment->table, stuckSegment->offset, segmentBefore);

    if (lastFrame_ == frame) {
        ++attempt_;
    } else {
        lastFrame_ = frame;
        attempt_ = 1;
    }

    if (faults_.disconnectAfter && framesReceived_ >= static_cast<std::size_t>(*faults_.disconnectAfter)) {
        lineLost_ = true;
        response.lineLost = true;
    }

    if (!answers(reply.has_value()) || thisFrame(faults_.silentFrame)) return response;

    ++framesAnswered_;
    // An answered frame ends its transaction: the same frame sent again is
    // a new transaction, not another attempt.
    lastFrame_.reset();

    const bool garbage = faults_.garbage || (faults_.garbageEvery > 0 &&
                                             framesAnswered_ % static_cast<std::size_t>(faults_.garbageEvery) == 0);
    if (garbage) {
        appendRandom(response.bytes, static_cast<int>(kFrameSize));
    } else {
        response.bytes.assign(reply->begin(), reply->end());
        if (faults_.freeForm) {
            // Its own header, and an additive check over the data bytes.
            response.bytes[0] = 'Z';
            response.bytes[1] = 'K';
            response.bytes[7] =
                static_cast<std::uint8_t>(reply->at(2) + reply->at(3) + reply->at(4) + reply->at(5) + reply->at(6));
        }
    }
    if (faults_.shortReply) response.bytes.pop_back();
    // The faults on one frame, on what the unit would have sent.
    const std::vector<std::uint8_t> sent = response.bytes;
    if (thisFrame(faults_.previousFrame) && !previousReply_.empty()) response.bytes = previousReply_;
    if (thisFrame(faults_.flipFrame) && static_cast<std::size_t>(faults_.flipBit / 8) < response.bytes.size())
        response.bytes[static_cast<std::size_t>(faults_.flipBit / 8)] ^=
            static_cast<std::uint8_t>(1 << (faults_.flipBit % 8));
    if (thisFrame(faults_.lostByteFrame) && !response.bytes.empty())
        response.bytes.erase(response.bytes.begin() + static_cast<std::ptrdiff_t>(response.bytes.size() / 2));
    if (thisFrame(faults_.noiseFrame)) {
        std::vector<std::uint8_t> noise;
        appendRandom(noise, faults_.noiseBytes);
        response.bytes.insert(response.bytes.begin(), noise.begin(), noise.end());
    }
    if (thisFrame(faults_.duplicateFrame)) response.repeatAfterSeconds = faults_.duplicateAfterSeconds;
    previousReply_ = sent;
    appendRandom(response.bytes, faults_.extraBytes);
    response.extraDelaySeconds = faults_.extraDelaySeconds;
    if (faults_.stallFrame > 0 && framesReceived_ == static_cast<std::size_t>(faults_.stallFrame))
        response.extraDelaySeconds += faults_.stallSeconds;
    return response;
}

bool SimulatedUnit::answers(bool modelAnswered) {
    if (!modelAnswered || faults_.noAnswer) return false;
    if (attempt_ < faults_.answerFromAttempt) return false;
    if (faults_.dropEvery > 0 && framesReceived_ % static_cast<std::size_t>(faults_.dropEvery) == 0) return false;
    return true;
}

void SimulatedUnit::appendRandom(std::vector<std::uint8_t>& bytes, int count) {
    std::uniform_int_distribution<int> byteValue(0, 255);
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(byteValue(random_)));
}

}  // namespace zrk::sim
