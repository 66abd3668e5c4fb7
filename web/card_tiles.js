// A card's tiles: the tile size and mirroring as chosen, and what the cut
// made: the tiles in all and the distinct ones, and the bytes of the tile set
// and the map against the whole picture's.
import { CardCut } from "./card_cut.js";
import { say } from "./language.js";

export class CardTiles extends CardCut {
  constructor(card) {
    super(card, "tiles", { tileWidth: "tile-width", tileHeight: "tile-height",
                           mirroredTiles: "mirrored-tiles" });
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
