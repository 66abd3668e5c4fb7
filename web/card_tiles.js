// A card's tiles: the tile size and mirroring as chosen, and what the cut
// made: the tiles in all and the distinct ones, and the bytes of the tile set
// and the map against the whole picture's.
import { cardsChanged, sameForAll, sharedChoices } from "./card_choices.js";
import { say } from "./language.js";

export class CardTiles {
  constructor(card) {
    this.card = card;
    this.part = card.part;
    this.part(".tiles").addEventListener("change", () => this.changed());
  }

  boxes() {
    return { tileWidth: this.part(".tile-width").value,
             tileHeight: this.part(".tile-height").value,
             mirroredTiles: this.part(".mirrored-tiles").checked };
  }

  // What the core is asked, or undefined where the picture is not cut into tiles.
  values() {
    const boxes = this.boxes();
    const empty = (typed) => typed.trim() === "";
    return empty(boxes.tileWidth) && empty(boxes.tileHeight) ? undefined : boxes;
  }

  // Like frame choices, tile choices belong to one picture, and are made on
  // every picture card while the same choices are made for all.
  changed() {
    const boxes = this.boxes();
    if (sameForAll.checked) sharedChoices.tiles = boxes;
    for (const card of cardsChanged(this.card)) {
      if (card !== this.card) card.tiles.showBoxes(boxes);
      card.showCuts();
      if (card.reply) card.reconvert();
    }
  }

  showBoxes(boxes) {
    this.part(".tile-width").value = boxes.tileWidth;
    this.part(".tile-height").value = boxes.tileHeight;
    this.part(".mirrored-tiles").checked = boxes.mirroredTiles;
  }

  // What the cut made, in the page's language; where dithering is chosen,
  // that dithered tiles rarely repeat.
  showTexts(reply, colors) {
    const made = this.part(".tiles-made");
    const tiles = reply?.ok ? reply.tiles : undefined;
    made.hidden = !tiles;
    if (tiles) made.textContent = tileSummary(tiles, reply.width, reply.height);
    const dithered = this.values() !== undefined && colors !== "nearest";
    this.part(".tiles-dithered").hidden = !dithered;
  }
}

// The counts and bytes of a cut, in words.
function tileSummary(tiles, width, height) {
  const total = tiles.columns * tiles.rows;
  const tileSetBytes = tiles.tileWidth * tiles.tileHeight * tiles.distinct;
  const mapBytes = total * (tiles.wide ? 2 : 1);
  const wholeBytes = width * height;
  const percent = wholeBytes === 0 ? 0 : Math.round(100 * (tileSetBytes + mapBytes) / wholeBytes);
  return [say("tilesMade", total, tiles.distinct, tiles.columns, tiles.rows),
          say("tileBytes", tileSetBytes, mapBytes, wholeBytes, percent),
          tiles.leftoverColumns + tiles.leftoverRows > 0
            ? say("leftover", tiles.leftoverColumns, tiles.leftoverRows) : "",
          say(!tiles.wide ? "mapOfBytes" : tiles.mirrored ? "mapOfMirroredHalves" : "mapOfHalves")]
    .filter(Boolean).join(" ");
}
