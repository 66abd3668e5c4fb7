// A card's animation: how many frames the file has and each one's delay,
// whether each frame became a block of its own, and the choice to take the
// first frame only.
import { say } from "./language.js";

// The delays named on a card; more are counted.
const delaysNamed = 8;

export class CardAnimation {
  constructor(card) {
    this.card = card;
    this.part = card.part;
    this.part(".first-frame-only").addEventListener("change", () => {
      this.card.showCuts();
      if (this.card.reply) this.card.reconvert();
    });
  }

  firstFrameOnly() {
    return this.part(".first-frame-only").checked;
  }

  // Whether the picture's frames are the animation's, so not to be cut again.
  cutsFrames() {
    return Boolean(this.card.reply?.ok && this.card.reply.animation?.given);
  }

  showTexts(reply, label) {
    const animation = reply?.ok ? reply.animation : undefined;
    this.part(".animation").hidden = !animation;
    if (!animation) return;
    const { frames, delays } = animation;
    const named = delays.slice(0, delaysNamed);
    const list = say("delayList", named, delays.length - named.length);
    this.part(".animation-frames").textContent = animation.given
      ? say("animationFrames", frames, reply.frames.frameWidth, reply.frames.frameHeight, list, label)
      : say(this.firstFrameOnly() ? "animationFirstOnly" : "animationUnavailable", frames);
  }
}
