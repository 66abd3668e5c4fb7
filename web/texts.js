// Every word the page says, in Brazilian Portuguese and in English. The
// programs' own lines (size:, Error: ...) are never translated: they are
// shown as the command line prints them, with a sentence from here beside.

export const texts = {
  pt: {
    title: "bmp2data: imagens como dados para assembly",
    languages: "Idioma",
    intro: "Transforma uma imagem em um fragmento <code>.data</code> para o segmento de dados do seu "
      + "programa em assembly: um rótulo, <code>.word</code> com a largura e a altura e um byte de "
      + "cor por pixel (2 bits de azul, 3 de verde e 3 de vermelho), da linha de cima para baixo. "
      + "Solte um arquivo <code>.data</code> para ver as cores dele.",
    private: "Tudo acontece nesta página: nenhum arquivo sai do seu computador.",
    drop: "Solte aqui imagens (BMP, PNG, JPEG, GIF, WebP) ou arquivos <code>.data</code>, ou "
      + "<strong>escolha os arquivos</strong>",
    note: "Arquivos BMP são lidos exatamente como o <code>bmp2data</code> da linha de comando os lê. "
      + "Os outros formatos são decodificados pelo navegador com as cores gravadas no arquivo. "
      + "Pixels transparentes ficam com a cor que têm gravada, sem mistura com o fundo, a não ser "
      + "que você escolha para eles uma cor-chave.",
    noteColoursLost: "Arquivos BMP são lidos exatamente como o <code>bmp2data</code> da linha de "
      + "comando os lê. Os outros formatos são decodificados pelo navegador com as cores gravadas no "
      + "arquivo. Só que este navegador não entrega a cor gravada sob um "
      + "pixel transparente de PNG, GIF ou WebP: esses pixels saem pretos. Os semitransparentes "
      + "ficam a no máximo um nível da cor gravada quando têm metade da opacidade ou mais; abaixo "
      + "disso, podem mudar mais. Para manter essas cores, use um BMP de 32 bits ou outro "
      + "navegador, ou escolha uma cor-chave para os pixels transparentes.",
    noteNoProfiles: "Nenhum perfil de cor é aplicado.",
    noteProfiles: "Este navegador, porém, aplica o perfil de cor que a imagem traz, então as cores "
      + "de uma imagem com perfil podem sair um pouco diferentes das gravadas.",
    noteDecodesHere: "Neste navegador só a própria página consegue ler os arquivos e decodificar "
      + "imagens, então uma imagem muito grande pode deixar a página parada por alguns instantes.",
    noteNoDecoder: "Arquivos BMP são lidos exatamente como o <code>bmp2data</code> da linha de "
      + "comando os lê. Este navegador não dá a esta página o que ela precisa para decodificar PNG, "
      + "JPEG, GIF ou WebP: salve a imagem como BMP ou use outro navegador.",
    pick: "Escolher arquivos",
    clear: "Limpar resultados",
    remove: "Remover",
    removeNamed: (name) => `Remover ${name}`,
    label: "Rótulo",
    asRead: "como foi lida",
    fitted: "ajustada ao display",
    reduced: "com as cores reduzidas",
    dataColours: "as cores do arquivo .data",
    textOf: (name) => `Texto de ${name}`,
    copy: "Copiar o texto",
    copied: "Texto copiado.",
    copyFailed: "Não deu para copiar. Use o botão de baixar.",
    download: (name) => `Baixar ${name}`,
    reading: (name) => `Lendo ${name}…`,
    decoding: (name) => `Decodificando ${name}…`,
    converting: (name) => `Convertendo ${name}…`,
    summary: (done, failed, working) => {
      const files = done === 1 ? "1 arquivo pronto" : `${done} arquivos prontos`;
      const errors = failed === 0 ? "" : failed === 1 ? ", 1 com erro" : `, ${failed} com erro`;
      const rest = working === 0 ? "" : `, ${working} em andamento`;
      return `${files}${errors}${rest}, logo abaixo.`;
    },
    cleared: "Resultados apagados.",
    sameForAll: "Mesmas opções para todas",
    fitting: "Para o display",
    size: "Tamanho",
    sizeOriginal: "original",
    sizeCustom: "outro…",
    columns: "Largura",
    rows: "Altura",
    fit: "Encaixe",
    fitInside: "caber inteira",
    fitFill: "preencher e cortar",
    fitStretch: "esticar",
    filter: "Filtro",
    filterSmooth: "suave (fotos)",
    filterSharp: "nítido (pixel art)",
    colors: "Cores",
    colorsNearest: "mais próxima",
    colorsOrdered: "pontilhado ordenado (Bayer)",
    colorsDiffuse: "difusão de erro (Floyd–Steinberg)",
    transparent: "Pixels transparentes",
    transparentKeep: "manter a cor gravada",
    transparentKeepLost: "deixar como o navegador entrega (preto)",
    transparentKey: "trocar por uma cor-chave",
    key: "Cor-chave (0 a 255)",
    palette: "Escolher na paleta",
    paletteColour: (value) => `Cor ${value}`,
    coloursLost: "Esta imagem tem pixels transparentes, e este navegador não entrega a cor gravada "
      + "sob eles: saem pretos (e os pouco opacos, abaixo da metade da opacidade, podem mudar de cor). Para manter essas "
      + "cores, abra a imagem em outro navegador ou salve-a como BMP de 32 bits.",
    profileApplied: "Este navegador aplicou o perfil de cor da imagem, então as cores podem sair "
      + "um pouco diferentes das gravadas no arquivo. Para ter as cores gravadas, use outro navegador "
      + "ou salve a imagem como BMP.",
    textTooLarge: "A imagem foi convertida, mas o texto dela passa do que este navegador consegue guardar para baixar. Use o bmp2data de linha de comando para esta imagem.",
    emptyLabel: "Dê um rótulo à imagem para poder baixar o arquivo.",
    badCharacter: (character) => `Os montadores não aceitam ${character} em rótulos: use letras sem acento, dígitos e _.`,
    leadingDigit: (digit) => `Os montadores não aceitam rótulos que começam com um dígito (${digit}).`,
    registerName: (label) => `O simulador RISC-V recusa nomes de registradores como rótulo, e ${label} é um deles.`,
    space: "espaço",
    startsWith: (start) => `O arquivo começa com os bytes ${start}.`,
    useFixed: (label) => `Usar ${label}`,
    downloadAll: "Baixar tudo",
    allNameLabel: "Arquivo com todas",
    allName: "imagens.data",
    allWaiting: (ready, total) => `Esperando as imagens: ${ready} de ${total} prontas.`,
    allLeftOut: (names) => `Ficam de fora porque falharam: ${names}.`,
    allNoLabel: (names) => `Ficam de fora porque estão sem rótulo: ${names}.`,
    allNoName: "Dê um nome ao arquivo para baixar tudo.",
    allNothing: "Nenhuma imagem pronta para baixar.",
    cardNumbered: (name, number) => `${name} (${number}º)`,
    allClash: (label, first, second) => `O rótulo ${label} aparece em ${first} e em ${second}, e `
      + "os montadores recusam um rótulo definido duas vezes. Renomeie um deles para baixar tudo.",
    sizeOriginalWords: "tamanho original",
    keyWords: (key) => `cor-chave ${key}`,
    useLast: (choices) => `Usar minhas últimas opções: ${choices}`,
    frameWord: (width, height) => `O .word de cada quadro traz ${width}, ${height}.`,
    skippedNumbers: (numbers, more) => `Pulados: ${numbers}${more > 0 ? ` e mais ${more}` : ""}.`,
    opaqueKey: (count, key) => `${count === 1 ? "1 pixel opaco já tem" : `${count} pixels opacos já têm`} `
      + `a cor-chave ${key}: um programa que pula essa cor pula ${count === 1 ? "esse pixel" : "esses pixels"} `
      + "também, e “Pular quadros vazios” pode deixar de fora um quadro feito só dela. Escolha outra cor-chave para evitar isso.",
    frames: "Quadros",
    frameWidth: "Largura do quadro",
    frameHeight: "Altura do quadro",
    margin: "Margem",
    spacing: "Espaçamento",
    skipEmpty: "Pular quadros vazios",
    framesMade: (made, skipped, columns, rows) =>
      `${made === 1 ? "1 quadro feito" : `${made} quadros feitos`}, `
      + `${skipped === 1 ? "1 pulado" : `${skipped} pulados`}. Sobram `
      + `${columns === 1 ? "1 coluna" : `${columns} colunas`} e `
      + `${rows === 1 ? "1 linha" : `${rows} linhas`} de pixels.`,
    animation: "Animação",
    firstFrameOnly: "Só o primeiro quadro",
    delayList: (delays, more) => {
      const listed = delays.map((ms) => `${ms} ms`);
      const words = more > 0 ? [...listed, `mais ${more}`] : listed;
      return words.length < 2 ? words.join("") : `${words.slice(0, -1).join(", ")} e ${words.at(-1)}`;
    },
    animationFrames: (count, width, height, delays, label) => `O arquivo tem ${count} quadros de `
      + `${width} × ${height} pixels, com esperas de ${delays}, um embaixo do outro nas prévias. `
      + `Cada quadro, como a animação o mostra, vira um bloco: ${label}_0, ${label}_1, …`,
    animationFirstOnly: (count) => `O arquivo tem ${count} quadros; só o primeiro é convertido.`,
    animationUnavailable: (count) => `O arquivo tem ${count} quadros, mas este navegador só entrega o `
      + "primeiro a esta página, e só ele é convertido. Para ter todos os quadros, use outro navegador.",
    animationExcluded: "Os quadros da animação já são cortados um a um: marque “Só o primeiro quadro” para cortar a imagem em quadros ou em tiles.",
    tiles: "Tiles",
    tileWidth: "Largura do tile",
    tileHeight: "Altura do tile",
    mirroredTiles: "Contar tiles espelhados como um só",
    tilesDithered: "Com pontilhado, os tiles quase nunca se repetem. Para um tileset menor, escolha “mais próxima” em Cores.",
    tilesMade: (total, distinct, columns, rows) =>
      `${total === 1 ? "1 tile" : `${total} tiles`} no mapa (${columns} × ${rows}), `
      + `${distinct === 1 ? "1 diferente" : `${distinct} diferentes`}.`,
    tileBytes: (tileSet, map, whole, percent) => `Tileset com ${tileSet} bytes e mapa com ${map} bytes: `
      + `juntos, ${percent}% dos ${whole} bytes da imagem inteira.`,
    leftover: (columns, rows) => `Sobram ${columns === 1 ? "1 coluna" : `${columns} colunas`} e `
      + `${rows === 1 ? "1 linha" : `${rows} linhas`} de pixels.`,
    mapOfBytes: "O mapa é de .byte: cada entrada é o número de um tile.",
    mapOfHalves: "O mapa é de .half: leia cada entrada com lhu; ela é o número de um tile.",
    mapOfMirroredHalves: "O mapa é de .half: leia cada entrada com lhu (com lh, as entradas de 32768 "
      + "para cima ficam negativas). O bit 15 indica tile espelhado na horizontal, o bit 14 de cabeça "
      + "para baixo, e os bits abaixo deles são o número do tile.",
    framesExcluded: "Uma imagem é cortada em quadros ou em tiles, não nos dois: apague o tamanho do tile para cortá-la em quadros.",
    tilesExcluded: "Uma imagem é cortada em quadros ou em tiles, não nos dois: apague o tamanho do quadro para cortá-la em tiles.",
    failures: {
      cannotRead: "O navegador não conseguiu ler o arquivo; talvez ele tenha mudado ou sido apagado depois de escolhido. Escolha-o de novo.",
      notBmp: "O arquivo começa como um BMP, mas é menor que o próprio cabeçalho. Exporte a imagem de novo.",
      unsupported: "É um tipo de BMP que o bmp2data não lê (indicado entre parênteses). Salve a imagem de novo como BMP de 24 bits ou solte a versão em PNG.",
      badHeader: "O cabeçalho do BMP tem valores impossíveis: o arquivo está corrompido. Exporte a imagem de novo.",
      truncated: "O arquivo termina antes do fim da imagem: está incompleto. Copie ou exporte de novo.",
      badPixels: "Os pixels pedem algo que a imagem não tem (indicado entre parênteses): o arquivo está corrompido. Exporte a imagem de novo.",
      outOfMemory: "A imagem não cabe na memória que o navegador dá a esta página. Feche outras abas ou use a versão de linha de comando.",
      badData: "O texto não está no formato que o bmp2data escreve; a linha indicada mostra onde. Corrija essa linha ou gere o arquivo de novo.",
      damaged: "O arquivo está danificado: termina antes da hora, está vazio ou tem dados corrompidos. Copie ou exporte a imagem de novo.",
      tooLarge: "A imagem é grande demais para este navegador decodificar nesta página. Reduza-a antes num editor de imagens.",
      unknownFormat: "Este navegador não sabe decodificar este formato de imagem. Salve a imagem como PNG, JPEG ou BMP.",
      noDecoder: "Este navegador não dá a esta página o que ela precisa para decodificar este formato (a página testa isso ao abrir). Salve a imagem como BMP ou use outro navegador.",
      badSize: "Esse tamanho não serve: largura e altura são números inteiros de 1 a 8192 pixels.",
      badFrames: "Esses quadros não servem para esta imagem (o motivo está entre parênteses). Corrija os números do grupo Quadros.",
      badKey: "A cor-chave é um byte de cor: um número inteiro de 0 a 255. Corrija a caixa ou escolha a cor na paleta.",
      badChoice: "A página pediu uma opção que o conversor não conhece (ela está entre parênteses). Recarregue a página e tente de novo.",
      badTiles: "Esses tiles não servem para esta imagem (o motivo está entre parênteses). Corrija o tamanho no grupo Tiles; se houver tiles diferentes demais, use tiles maiores ou menos cores.",
    },
  },
  en: {
    title: "bmp2data: pictures as assembly data",
    languages: "Language",
    intro: "Turns a picture into a <code>.data</code> fragment for your assembly program's data "
      + "segment: a label, <code>.word</code> with the width and height, and one colour byte per "
      + "pixel (2 bits of blue, 3 of green, 3 of red), top row first. Drop a <code>.data</code> "
      + "file to see its colours.",
    private: "Everything happens in this page: no file leaves your computer.",
    drop: "Drop pictures (BMP, PNG, JPEG, GIF, WebP) or <code>.data</code> files here, or "
      + "<strong>choose files</strong>",
    note: "BMP files are read exactly as the command-line <code>bmp2data</code> reads them. Other "
      + "formats are decoded by your browser with the colours stored in the file. Transparent pixels "
      + "keep the colour they store, never blended with a background, unless you choose a key "
      + "colour for them.",
    noteColoursLost: "BMP files are read exactly as the command-line <code>bmp2data</code> reads "
      + "them. Other formats are decoded by your browser with the colours stored in the file. This "
      + "browser, though, doesn't give the colour stored under a "
      + "transparent pixel of a PNG, GIF or WebP: such pixels come out black. Partly transparent "
      + "ones stay within one level of their stored colour at half opacity or more, and may shift "
      + "further below that. To keep those colours, use a 32-bit BMP or another "
      + "browser, or choose a key colour for transparent pixels.",
    noteNoProfiles: "No colour profile is applied.",
    noteProfiles: "This browser, however, applies a colour profile stored in the picture, so the "
      + "colours of a picture with a profile may come out a little different from the stored ones.",
    noteDecodesHere: "In this browser only the page itself can read files and decode pictures, "
      + "so a very large picture may freeze the page for a moment.",
    noteNoDecoder: "BMP files are read exactly as the command-line <code>bmp2data</code> reads "
      + "them. This browser doesn't give this page what it needs to decode PNG, JPEG, GIF or WebP: "
      + "save the picture as a BMP, or use another browser.",
    pick: "Choose files",
    clear: "Clear results",
    remove: "Remove",
    removeNamed: (name) => `Remove ${name}`,
    label: "Label",
    asRead: "as read",
    fitted: "fitted to the display",
    reduced: "with the reduced colours",
    dataColours: "the colours in the .data file",
    textOf: (name) => `Text of ${name}`,
    copy: "Copy the text",
    copied: "Text copied.",
    copyFailed: "Couldn't copy. Use the download link instead.",
    download: (name) => `Download ${name}`,
    reading: (name) => `Reading ${name}…`,
    decoding: (name) => `Decoding ${name}…`,
    converting: (name) => `Converting ${name}…`,
    summary: (done, failed, working) => {
      const files = done === 1 ? "1 file ready" : `${done} files ready`;
      const errors = failed === 0 ? "" : failed === 1 ? ", 1 with an error" : `, ${failed} with errors`;
      const rest = working === 0 ? "" : `, ${working} still working`;
      return `${files}${errors}${rest}, just below.`;
    },
    cleared: "Results cleared.",
    sameForAll: "Same choices for all",
    fitting: "For the display",
    size: "Size",
    sizeOriginal: "original",
    sizeCustom: "other…",
    columns: "Width",
    rows: "Height",
    fit: "Fit",
    fitInside: "fit inside",
    fitFill: "fill and crop",
    fitStretch: "stretch",
    filter: "Filter",
    filterSmooth: "smooth (photos)",
    filterSharp: "sharp (pixel art)",
    colors: "Colours",
    colorsNearest: "nearest",
    colorsOrdered: "ordered dithering (Bayer)",
    colorsDiffuse: "error diffusion (Floyd–Steinberg)",
    transparent: "Transparent pixels",
    transparentKeep: "keep their stored colour",
    transparentKeepLost: "leave them as this browser gives them (black)",
    transparentKey: "replace with a key colour",
    key: "Key colour (0 to 255)",
    palette: "Pick from the palette",
    paletteColour: (value) => `Colour ${value}`,
    coloursLost: "This picture has transparent pixels, and this browser doesn't give the colour "
      + "stored under them: they come out black (and mostly transparent ones, below half opacity, may shift). "
      + "To keep those colours, open the picture in another browser or save it as a 32-bit BMP.",
    profileApplied: "This browser applied the picture's colour profile, so its colours may come "
      + "out a little different from those stored in the file. For the stored colours, use another "
      + "browser or save the picture as a BMP.",
    textTooLarge: "The picture was converted, but its text is more than this browser can hold for a download. Use the command-line bmp2data for this picture.",
    emptyLabel: "Give the picture a label to download its file.",
    badCharacter: (character) => `Assemblers reject ${character} in a label: use unaccented letters, digits and _.`,
    leadingDigit: (digit) => `Assemblers reject labels that start with a digit (${digit}).`,
    registerName: (label) => `The RISC-V simulator refuses register names as labels, and ${label} is one.`,
    space: "a space",
    startsWith: (start) => `The file starts with the bytes ${start}.`,
    useFixed: (label) => `Use ${label}`,
    downloadAll: "Download all",
    allNameLabel: "File for all of them",
    allName: "pictures.data",
    allWaiting: (ready, total) => `Waiting for the pictures: ${ready} of ${total} ready.`,
    allLeftOut: (names) => `Left out because they failed: ${names}.`,
    allNoLabel: (names) => `Left out because they have no label: ${names}.`,
    allNoName: "Give the file a name to download all.",
    allNothing: "No picture is ready to download.",
    cardNumbered: (name, number) => `${name} (#${number})`,
    allClash: (label, first, second) => `The label ${label} is in both ${first} and ${second}, and `
      + "assemblers refuse a label defined twice. Rename one of them to download all.",
    sizeOriginalWords: "original size",
    keyWords: (key) => `key colour ${key}`,
    useLast: (choices) => `Use my last choices: ${choices}`,
    frameWord: (width, height) => `Each frame's .word holds ${width}, ${height}.`,
    skippedNumbers: (numbers, more) => `Skipped: ${numbers}${more > 0 ? ` and ${more} more` : ""}.`,
    opaqueKey: (count, key) => `${count === 1 ? "1 opaque pixel already has" : `${count} opaque pixels already have`} `
      + `the key colour ${key}: a program that skips that colour skips ${count === 1 ? "it" : "them"} too, `
      + "and “Skip empty frames” may leave out a frame made only of it. Choose another key colour to avoid this.",
    frames: "Frames",
    frameWidth: "Frame width",
    frameHeight: "Frame height",
    margin: "Margin",
    spacing: "Spacing",
    skipEmpty: "Skip empty frames",
    framesMade: (made, skipped, columns, rows) =>
      `${made === 1 ? "1 frame" : `${made} frames`} made, ${skipped} skipped. `
      + `${columns === 1 ? "1 pixel column" : `${columns} pixel columns`} and `
      + `${rows === 1 ? "1 pixel row" : `${rows} pixel rows`} left over.`,
    animation: "Animation",
    firstFrameOnly: "First frame only",
    delayList: (delays, more) => {
      const listed = delays.map((ms) => `${ms} ms`);
      const words = more > 0 ? [...listed, `${more} more`] : listed;
      return words.length < 2 ? words.join("") : `${words.slice(0, -1).join(", ")} and ${words.at(-1)}`;
    },
    animationFrames: (count, width, height, delays, label) => `The file has ${count} frames of `
      + `${width} × ${height} pixels, shown for ${delays}, one under another in the previews. `
      + `Each frame, as the animation shows it, becomes a block: ${label}_0, ${label}_1, …`,
    animationFirstOnly: (count) => `The file has ${count} frames; only the first is converted.`,
    animationUnavailable: (count) => `The file has ${count} frames, but this browser gives this page `
      + "only the first, so only that one is converted. For every frame, use another browser.",
    animationExcluded: "The animation's frames are already cut one by one: tick “First frame only” to cut the picture into frames or tiles.",
    tiles: "Tiles",
    tileWidth: "Tile width",
    tileHeight: "Tile height",
    mirroredTiles: "Count mirrored tiles as one",
    tilesDithered: "Dithered tiles rarely repeat. For a smaller tile set, choose “nearest” under Colours.",
    tilesMade: (total, distinct, columns, rows) =>
      `${total === 1 ? "1 tile" : `${total} tiles`} in the map (${columns} × ${rows}), ${distinct} distinct.`,
    tileBytes: (tileSet, map, whole, percent) => `Tile set ${tileSet} bytes, map ${map} bytes: `
      + `together ${percent}% of the whole picture's ${whole} bytes.`,
    leftover: (columns, rows) => `${columns === 1 ? "1 pixel column" : `${columns} pixel columns`} and `
      + `${rows === 1 ? "1 row" : `${rows} rows`} left over.`,
    mapOfBytes: "The map is .byte: each entry is a tile number.",
    mapOfHalves: "The map is .half: read each entry with lhu; it is a tile number.",
    mapOfMirroredHalves: "The map is .half: read each entry with lhu (lh makes entries of 32768 and "
      + "up negative). Bit 15 means mirrored left to right, bit 14 upside down, and the bits below "
      + "them are the tile number.",
    framesExcluded: "A picture is cut into frames or into tiles, not both: clear the tile size to cut it into frames.",
    tilesExcluded: "A picture is cut into frames or into tiles, not both: clear the frame size to cut it into tiles.",
    failures: {
      cannotRead: "The browser couldn't read the file; it may have changed or been deleted after you chose it. Choose it again.",
      notBmp: "The file starts like a BMP but is shorter than its own header. Export the picture again.",
      unsupported: "This kind of BMP isn't one bmp2data reads (named in brackets). Save the picture again as a 24-bit BMP, or drop its PNG version.",
      badHeader: "The BMP header holds impossible values: the file is damaged. Export the picture again.",
      truncated: "The file ends before the picture does: it is incomplete. Copy or export it again.",
      badPixels: "The pixels ask for something the picture doesn't have (named in brackets): the file is damaged. Export the picture again.",
      outOfMemory: "The picture doesn't fit in the memory the browser gives this page. Close other tabs, or use the command-line program.",
      badData: "The text isn't in the form bmp2data writes; the line number shows where. Fix that line or make the file again.",
      damaged: "The file is damaged: it is cut short, empty or holds corrupt data. Copy or export the picture again.",
      tooLarge: "The picture is too large for this browser to decode in this page. Shrink it in a picture editor first.",
      unknownFormat: "This browser can't decode this picture format. Save the picture as PNG, JPEG or BMP.",
      noDecoder: "This browser doesn't give this page what it needs to decode this format (the page checks when it opens). Save the picture as a BMP, or use another browser.",
      badSize: "That size won't do: width and height are whole numbers from 1 to 8192 pixels.",
      badFrames: "Those frames don't work for this picture (the reason is in brackets). Fix the numbers in the Frames group.",
      badKey: "The key colour is a colour byte: a whole number from 0 to 255. Fix the box, or pick the colour from the palette.",
      badTiles: "Those tiles don't work for this picture (the reason is in brackets). Fix the size in the Tiles group; where too many tiles differ, use larger tiles or fewer colours.",
      badChoice: "The page asked for an option the converter doesn't know (it's in brackets). Reload the page and try again.",
    },
  },
};

