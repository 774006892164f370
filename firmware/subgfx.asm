* subgfx.asm: the sub CPU's graphics commands (included by sub.asm).
*
* Entry point: gfxcmd, A = a command code from C_GFX (defs.inc), arguments in
* the command slot's data area (GARG). Coordinates are signed 16-bit pixel
* positions, 0-639 across and 0-199 down; dots off the screen are left out
* (clipped), never an error. A colour is 0-7: bit 0 plane 0 (0000-3FFF),
* bit 1 plane 1 (4000-7FFF), bit 2 plane 2 (8000-BFFF); a dot is the bit
* $80 >> (x & 7) of the byte 80y + x/8 in each plane. The hardware scroll
* keeps the picture at offset 0, so these offsets hold whatever the text has
* scrolled.
*
* Commands (data bytes):
*   C_PSET   x(2) y(2) c          one dot
*   C_LINE   x1 y1 x2 y2 (2 each) c mode   mode 0 line, 1 box, 2 filled box
*   C_CIRCLE x(2) y(2) rx(2) c ry(2) arc   midpoint circle, scaled to an
*                                 ellipse; arc 1: only the part from the
*                                 last C_ARC's start to its end
*   C_ARC    sx sy ex ey (2 each) the arc's ends from the centre (y up)
*   C_POINT  x(2) y(2)            reply: the dot's colour (2), -1 off screen
*   C_LOCATE column row cursor    cursor to a text cell (FF keeps a value)
*   C_COLOR  fg bg                text colours (FF keeps a value)
*   C_CSRLIN                      reply: cursor row, cursor column
*   C_PAINT  x(2) y(2) c border   scan-line flood fill (see gpaint)
*   C_GET    x1 y1 x2 y2 (2 each) a picture of the rectangle, cut to the
*                                 screen; reply: its size in bytes (2)
*   C_GMORE                       reply: the picture's next bytes (up to 88)
*   C_PUT    x(2) y(2) mode width(2) height(2)   a picture to draw at x,y;
*                                 reply: its size in bytes (FFFF: too big)
*   C_PMORE  bytes                the picture's next bytes, drawn
*   C_SCREEN, C_KEY               (subkeys.asm)
*
* Work bytes D040-D0AC (direct page D0); the fill's seed stack CA00-CDFF,
* lost-seed rows CE00-CEC7, the made dot routine CEC8-CEE6.
* Registers are not kept.

GARG    EQU SH_SUB+SH_DATA
GX      EQU $D040           ; the dot being drawn
GY      EQU $D042
GMASK   EQU $D044           ; its bit in the byte
CM0     EQU $D045           ; FF where the drawing colour has plane 0..2
CM1     EQU $D046
CM2     EQU $D047
GDX     EQU $D048           ; line: |dx|, |dy|, error, steps, count
GDY     EQU $D04A
GERR    EQU $D04C
GSX     EQU $D04E
GSY     EQU $D050
GCNT    EQU $D052
GCX     EQU $D054           ; circle centre, offsets; span ends
GCY     EQU $D056
GOX     EQU $D058
GOY     EQU $D05A
GX1     EQU $D05C
GX2     EQU $D05E
GY1     EQU $D060
GY2     EQU $D062
GPC     EQU $D064           ; fill: paint colour, border colour
GBC     EQU $D065
GLOST   EQU $D066           ; fill: seeds dropped when the stack was full
GSP     EQU $D068           ; fill: seed stack pointer
BC0     EQU $D06A           ; fill: FF where the border colour has plane 0..2
BC1     EQU $D06B
BC2     EQU $D06C
GT0     EQU $D06D           ; fill: scratch
GBIT    EQU $D06E           ; fill: the dot's bit while walking a row
GFM     EQU $D06F           ; fill: the fillable dots of the byte at X
GIN     EQU $D070           ; fill: 1 inside a run of fillable dots
GDIR    EQU $D071           ; fill: 1 the run's row is above its seed's, 2 below
SEEDS   EQU $CA00           ; fill: seed stack, 5 bytes a seed (see gpaint)
SEEDEND EQU $CDFB
DIRTY   EQU $CE00           ; fill: per row, seeds lost there (GDIR bits)
G2DX    EQU $D072           ; quick line: twice |dx|, twice |dy|
G2DY    EQU $D074
GS80    EQU $D076           ; quick line: +80 or -80, a row down or up
GPLOT   EQU $CEC8           ; the dot routine made for the colour (gen)
PX      EQU $D078           ; picture: its left dot, the row being sent
PY      EQU $D07A
PHB     EQU $D07C           ; picture: width, height (its first 4 bytes)
PH      EQU $D080           ; picture: rows still to come
PN      EQU $D082           ; picture: bytes a row has in each plane
PJ      EQU $D084           ; picture: the byte's place in its row's plane
PPH     EQU $D086           ; picture: its plane (0, $40, $80: the high byte)
PMODE   EQU $D087           ; PUT: 0 PSET 1 PRESET 2 AND 3 OR 4 XOR
PHDR    EQU $D088           ; GET: header bytes sent
PV      EQU $D08A           ; PUT: the byte's dots and mask, shifted (2 + 2)
PM      EQU $D08C
GSV     EQU $D08E           ; arc: start and end from the centre (x, y up)
GEV     EQU $D092
GPX     EQU $D096           ; arc: the dot from the centre (x, y up)
GPY     EQU $D098
GEX     EQU $D09A           ; ellipse: the circle's offsets, scaled
GEY     EQU $D09C
GQ      EQU $D09E           ; a product (4)
GF      EQU $D0A2           ; ellipse: shorter / longer radius x 65536
GSCL    EQU $D0A4           ; ellipse: 0 round, 1 y scaled, 2 x scaled
GARC    EQU $D0A5           ; 1: an arc
GBIG    EQU $D0A6           ; arc: 1 when it spans more than half a turn
GSAME   EQU $D0A7           ; fill: 1 when the border is the paint colour
GC1     EQU $D0A8           ; fill: the run's whole bytes (columns GC1 to
GC2     EQU $D0A9           ; GC2 - 1), the seeds' parent span
PE1     EQU $D0AA           ; fill: the popped seed's parent span, likewise
PE2     EQU $D0AB
PDIR    EQU $D0AC           ; fill: where the popped seed's parent row is

gfxcmd  SUBA #C_GFX
        CMPA #C_GLAST-C_GFX
        BHI .bad
        LSLA
        LDX #gfxtab
        JMP [A,X]
.bad    RTS

gfxtab  FDB gpset,gline,gcircle,gpoint,glocate,gcolor,gcsrlin,gpaint
        FDB gget,ggmore,gput,gpmore,gscreen,gkey,garc,gwidth

* gcolm: plane masks CM0-CM2 for the colour in A.
gcolm   LDX #CM0
        LDB #3
.m      CLR ,X
        LSRA
        BCC .z
        COM ,X
.z      LEAX 1,X
        DECB
        BNE .m
        RTS

* ---------------------------------------------------------------- dots
gpset   LDA GARG+4
        BSR gcolm
        LDD GARG
        STD <GX
        LDD GARG+2
        STD <GY
* gplot: the dot GX,GY in the drawing colour, when it is on the screen.
gplot   LDD <GY
        CMPD #200
        BHS gr
        LDD <GX
        CMPD #640
        BHS gr
        BSR pixad
* setpx: the dot with mask A in byte X in the drawing colour.
setpx   STA <GMASK
        LDA ,X
        EORA <CM0
        ANDA <GMASK
        EORA ,X
        STA ,X
        LDA PLANE1,X
        EORA <CM1
        ANDA <GMASK
        EORA PLANE1,X
        STA PLANE1,X
        LDA PLANE2,X
        EORA <CM2
        ANDA <GMASK
        EORA PLANE2,X
        STA PLANE2,X
gr      RTS

* pixad: GX,GY on the screen -> X = byte offset, A = the dot's mask.
pixad   LDA <GY+1
        LDB #80
        MUL
        TFR D,X
        LDD <GX
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        ABX
        LDB <GX+1
        ANDB #7
        LDU #gbits
        LDA B,U
        RTS
gbits   FCB $80,$40,$20,$10,$08,$04,$02,$01

* getpx: colour of the dot GX,GY -> A, FF off the screen.
getpx   LDD <GY
        CMPD #200
        BHS .off
        LDD <GX
        CMPD #640
        BHS .off
        BSR pixad
        CLRB
        BITA PLANE2,X
        BEQ .p1
        ORB #4
.p1     BITA PLANE1,X
        BEQ .p0
        ORB #2
.p0     BITA ,X
        BEQ .r
        ORB #1
.r      TFR B,A
        RTS
.off    LDA #$FF
        RTS

gpoint  LDD GARG
        STD <GX
        LDD GARG+2
        STD <GY
        BSR getpx
        TFR A,B
        SEX
        JMP greply

* ---------------------------------------------------------------- lines
* C_LINE: Bresenham's line, drawn along the longer axis from the end with
* the smaller coordinate on it (left to right, or top to bottom); the error
* starts at 2 minor - major and the minor coordinate moves when it is above
* 0. A line with both ends on the screen goes the quick way (gfast).
gline   LDA GARG+8
        JSR gcolm
        LDA GARG+9
        LBNE gbox
        BSR lsetup
        LDD <GDY
        CMPD <GDX
        BGT .ym
        LDD <GSX
        BPL .ok
        BRA .swap
.ym     LDD <GSY
        BPL .ok
.swap   LDD GARG
        LDX GARG+4
        STX GARG
        STD GARG+4
        LDD GARG+2
        LDX GARG+6
        STX GARG+2
        STD GARG+6
        BSR lsetup
.ok     LDD GARG
        CMPD #640
        BHS .slow
        LDD GARG+4
        CMPD #640
        BHS .slow
        LDD GARG+2
        CMPD #200
        BHS .slow
        LDD GARG+6
        CMPD #200
        LBLO gfast
.slow   JMP gslow

* lsetup: GX,GY = the first end; GDX,GDY the distances, GSX,GSY the steps.
lsetup  LDD GARG
        STD <GX
        LDD GARG+2
        STD <GY
        LDX #1
        LDD GARG+4
        SUBD <GX
        BPL .dx
        LDX #-1
        COMA
        COMB
        ADDD #1
.dx     STD <GDX
        STX <GSX
        LDX #1
        LDD GARG+6
        SUBD <GY
        BPL .dy
        LDX #-1
        COMA
        COMB
        ADDD #1
.dy     STD <GDY
        STX <GSY
        RTS

* gslow: the line the slow way, each dot clipped on its own.
gslow   LDD <GDY
        CMPD <GDX
        BGT .ymaj
        LDD <GDX            ; along x
        STD <GCNT
        LDD <GDY
        LSLB
        ROLA
        SUBD <GDX
        STD <GERR

.xl     JSR gplot
        LDD <GCNT
        BEQ .r
        SUBD #1
        STD <GCNT
        LDD <GERR
        BLE .xe
        LDD <GY
        ADDD <GSY
        STD <GY
        LDD <GERR
        SUBD <GDX
        SUBD <GDX
.xe     ADDD <GDY
        ADDD <GDY
        STD <GERR
        LDD <GX
        ADDD <GSX
        STD <GX
        BRA .xl
.ymaj   STD <GCNT           ; along y
        LDD <GDX
        LSLB
        ROLA
        SUBD <GDY
        STD <GERR
.yl     JSR gplot
        LDD <GCNT
        BEQ .r
        SUBD #1
        STD <GCNT
        LDD <GERR
        BLE .ye
        LDD <GX
        ADDD <GSX
        STD <GX
        LDD <GERR
        SUBD <GDY
        SUBD <GDY
.ye     ADDD <GDX
        ADDD <GDX
        STD <GERR
        LDD <GY
        ADDD <GSY
        STD <GY
        BRA .yl
.r      RTS

* gfast: the line when both ends are on the screen. The byte address (X)
* and the dot's entry in mtab (U: mask, inverted mask) are stepped instead
* of worked out for each dot, and the dot is set by a routine made for the
* colour (gen), three instructions a plane. Y counts the dots.
gfast   JSR gen
        JSR pixad
        LDB <GX+1
        ANDB #7
        LSLB
        LDU #mtab
        LEAU B,U
        LDD <GDX
        LSLB
        ROLA
        STD <G2DX
        LDD <GDY
        LSLB
        ROLA
        STD <G2DY
        CMPD <G2DX
        BGT .ym
        LDY <GDX            ; along x, left to right
        LEAY 1,Y
        SUBD <GDX
        STD <GERR
        LDD #80
        TST <GSY
        BPL .s80
        LDD #-80
.s80    STD <GS80
.xl     JSR GPLOT
        LEAY -1,Y
        BEQ .r
        LEAU 2,U
        CMPU #mtab+16
        BLO .xe
        LDU #mtab
        LEAX 1,X
.xe     LDD <GERR
        BLE .xn
        TFR X,D
        ADDD <GS80
        TFR D,X
        LDD <GERR
        SUBD <G2DX
.xn     ADDD <G2DY
        STD <GERR
        BRA .xl
.ym     LDY <GDY            ; along y, top to bottom
        LEAY 1,Y
        LDD <G2DX
        SUBD <GDY
        STD <GERR
.yl     JSR GPLOT
        LEAY -1,Y
        BEQ .r
        LEAX 80,X
        LDD <GERR
        BLE .yn
        TST <GSX
        BMI .left
        LEAU 2,U
        CMPU #mtab+16
        BLO .yd
        LDU #mtab
        LEAX 1,X
        BRA .yd
.left   LEAU -2,U
        CMPU #mtab
        BHS .yd
        LDU #mtab+14
        LEAX -1,X
.yd     LDD <GERR
        SUBD <G2DY
.yn     ADDD <G2DX
        STD <GERR
        BRA .yl
.r      RTS
mtab    FCB $80,$7F,$40,$BF,$20,$DF,$10,$EF,$08,$F7,$04,$FB,$02,$FD,$01,$FE

* gen: make GPLOT for the colour in CM0-CM2: for each plane
* LDA n,X / ORA ,U (or ANDA 1,U where the colour lacks the plane) / STA n,X.
gen     LDX #GPLOT
        LDY #gplane
        LDU #CM0
.p      LDD #$A689          ; LDA n,X
        STD ,X++
        LDD ,Y
        STD ,X++
        LDD #$AAC4          ; ORA ,U
        TST ,U+
        BNE .st
        LDD #$A441          ; ANDA 1,U
.st     STD ,X++
        LDD #$A789          ; STA n,X
        STD ,X++
        LDD ,Y++
        STD ,X++
        CMPY #gplane+6
        BLO .p
        LDA #$39            ; RTS
        STA ,X
        RTS
gplane  FDB 0,PLANE1,PLANE2

* gbox: the rectangle with corners x1,y1 and x2,y2, outlined (mode 1) or
* filled (mode 2).
gbox    LDD GARG            ; GX1 <= GX2, GY1 <= GY2
        LDX GARG+4
        CMPD GARG+4
        BLE .x
        EXG D,X
.x      STD <GX1
        STX <GX2
        LDD GARG+2
        LDX GARG+6
        CMPD GARG+6
        BLE .y
        EXG D,X
.y      STD <GY1
        STX <GY2
        LDA GARG+9
        CMPA #2
        BEQ .fill
        LDD <GY1            ; top and bottom
        STD <GY
        JSR hline
        LDD <GY2
        STD <GY
        JSR hline
        LDD <GX1            ; left and right
        STD <GX
        BSR vline
        LDD <GX2
        STD <GX
        BRA vline
.fill   LDD <GY1
        STD <GY
.f      JSR hline
        LDD <GY
        CMPD <GY2
        BGE .r
        ADDD #1
        STD <GY
        BRA .f
.r      RTS

* vline: dots GX,GY1 .. GX,GY2 (GY1 <= GY2), clipped.
vline   LDD <GX
        CMPD #640
        BHS .r
        LDD <GY2
        BMI .r
        CMPD #199
        BLE .e
        LDD #199
.e      STD <GCNT
        LDD <GY1
        CMPD #200
        BGE .r
        TSTA
        BPL .s
        CLRB
        CLRA
.s      STD <GY
        SUBD <GCNT          ; -(count - 1)
        BGT .r
        COMA
        COMB
        ADDD #2
        STD <GCNT
        JSR pixad
        STA <GMASK
.l      LDA <GMASK
        JSR setpx
        LEAX 80,X
        LDD <GCNT
        SUBD #1
        STD <GCNT
        BNE .l
.r      RTS

* hline: dots GX1 .. GX2 (GX1 <= GX2) on row GY, clipped; whole bytes are
* written at once.
hline   LDD <GY
        CMPD #200
        LBHS .r
        LDD <GX2
        LBMI .r
        CMPD #639
        BLE .e
        LDD #639
.e      STD <GCNT           ; right end
        LDD <GX1
        CMPD #640
        LBGE .r
        TSTA
        BPL .s
        CLRA
        CLRB
.s      STD <GX
        CMPD <GCNT
        LBGT .r
        JSR pixad           ; X = first byte
        LDB <GX+1
        ANDB #7
        LDU #lmask
        LDA B,U             ; dots from the left end to its byte's end
        PSHS A
        LDD <GX
        ANDB #$F8
        STD <GX
        LDD <GCNT
        ANDB #$F8
        CMPD <GX
        BNE .multi
        LDB <GCNT+1         ; both ends in one byte
        ANDB #7
        LDU #rmask
        LDA B,U
        ANDA ,S+
        JMP setpx
.multi  SUBD <GX            ; 8 x whole bytes between the ends + 8
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        PULS A
        PSHS B
        JSR setpx           ; the left end's byte
        LEAX 1,X
.mid    DEC ,S
        BEQ .last
        LDA <CM0
        STA ,X
        LDA <CM1
        STA PLANE1,X
        LDA <CM2
        STA PLANE2,X
        LEAX 1,X
        BRA .mid
.last   LEAS 1,S
        LDB <GCNT+1
        ANDB #7
        LDU #rmask
        LDA B,U
        JMP setpx
.r      RTS
lmask   FCB $FF,$7F,$3F,$1F,$0F,$07,$03,$01
rmask   FCB $80,$C0,$E0,$F0,$F8,$FC,$FE,$FF

* ---------------------------------------------------------------- circle
* C_CIRCLE: the midpoint circle of the longer radius: x = r, y = 0,
* d = 1 - r; eight dots for each step while x >= y; y grows every step, x
* shrinks when d was not below 0. For an ellipse the offsets along the
* shorter radius are scaled by shorter / longer. An arc leaves out the dots
* outside the turn from its start to its end (counter-clockwise): the dot P
* is in when start x P >= 0 and P x end >= 0 (cross products), or, for an
* arc of more than half a turn, when either is. An arc whose ends are the
* same is the whole curve.
gcircle LDA GARG+6
        JSR gcolm
        LDD GARG
        STD <GCX
        LDD GARG+2
        STD <GCY
        CLR <GSCL
        LDD GARG+7
        LBMI .r
        LDX GARG+4
        LBMI .r
        CMPD GARG+4
        BEQ .arc
        BLO .ys
        EXG D,X             ; rx < ry: x scaled
        INC <GSCL
.ys     INC <GSCL
        JSR gfrac
        TFR X,D
.arc    PSHS D
        LDA GARG+9
        STA <GARC
        BEQ .go
        LDX #GSV            ; the same ends: the whole curve
        LDD ,X
        CMPD 4,X
        BNE .big
        LDD 2,X
        CMPD 6,X
        BNE .big
        CLR <GARC
.big    LDU #GEV
        JSR gcross
        ROLA
        ROLA
        ANDA #1
        STA <GBIG
.go     PULS D
        STD <GOX
        CLR <GOY
        CLR <GOY+1
        LDD #1
        SUBD <GOX
        STD <GERR
.l      LDD <GOX
        CMPD <GOY
        BLT .r
        BSR oct8
        LDD <GOY
        ADDD #1
        STD <GOY
        LDD <GERR
        BMI .in
        LDD <GOX
        SUBD #1
        STD <GOX
        LDD <GOY
        SUBD <GOX
        LSLB
        ROLA
        ADDD #1
        ADDD <GERR
        STD <GERR
        BRA .l
.in     LDD <GOY
        LSLB
        ROLA
        ADDD #1
        ADDD <GERR
        STD <GERR
        BRA .l
.r      RTS

* oct8: the eight dots centre +- GOX,GOY and +- GOY,GOX.
oct8    LDX #GOX
        LDU #GOY
        BSR .four
        LDX #GOY
        LDU #GOX
.four   LDD ,X              ; scaled copies for an ellipse
        STD <GEX
        LDD ,U
        STD <GEY
        LDA <GSCL
        BEQ .p
        LDX #GEY
        DECA
        BEQ .s
        LDX #GEX
.s      BSR gscale
.p      LDX #GEX
        LDU #GEY
        PSHS X,U
        LDD <GCX
        ADDD ,X
        STD <GX
        LDD <GCY
        ADDD ,U
        STD <GY
        BSR aplot
        LDX ,S
        LDD <GCX
        SUBD ,X
        STD <GX
        BSR aplot
        LDU 2,S
        LDD <GCY
        SUBD ,U
        STD <GY
        BSR aplot
        LDX ,S
        LDD <GCX
        ADDD ,X
        STD <GX
        BSR aplot
        PULS X,U,PC

* aplot: gplot, for an arc only when the dot is on it.
aplot   TST <GARC
        LBEQ gplot
        LDD <GX
        SUBD <GCX
        STD <GPX
        LDD <GCY
        SUBD <GY
        STD <GPY
        LDX #GSV
        LDU #GPX
        BSR gcross          ; start x P
        PSHS A
        LDX #GPX
        LDU #GEV
        BSR gcross          ; P x end
        TST <GBIG
        BNE .or
        ORA ,S+             ; both >= 0
        BRA .t
.or     ANDA ,S+            ; either >= 0
.t      LBPL gplot
        RTS

* gscale: the word at X times GF / 65536, rounded.
gscale  LDU #GF
        JSR gumul
        LDD GQ
        TST GQ+2
        BPL .r
        ADDD #1
.r      STD ,X
        RTS

* gfrac: GF = D x 65536 / X (D < X, both positive).
gfrac   PSHS X
        LDX #16
.l      LSL <GF+1
        ROL <GF
        LSLB
        ROLA
        CMPD ,S
        BLO .n
        SUBD ,S
        INC <GF+1
.n      LEAX -1,X
        BNE .l
        PULS X,PC

* gcross: A = the high byte of X.x U.y - X.y U.x for the vectors (two
* words) at X and U: bit 7 set when that is below 0.
gcross  PSHS X,U
        LDD ,X
        LDX 2,U
        BSR smul
        LDD GQ
        LDX GQ+2
        PSHS D,X
        LDX 4,S
        LDD 2,X
        LDU 6,S
        LDX ,U
        BSR smul
        LDD 2,S
        SUBD GQ+2
        LDD ,S
        SBCB GQ+1
        SBCA GQ
        LEAS 4,S
        PULS X,U,PC

* smul: GQ = D x X (signed, 32 bits).
smul    PSHS D,X
        EORA 2,S
        PSHS A              ; bit 7: the product's sign
        LDD 1,S
        BPL .a
        COMA
        COMB
        ADDD #1
        STD 1,S
.a      LDD 3,S
        BPL .b
        COMA
        COMB
        ADDD #1
        STD 3,S
.b      LEAX 1,S
        LEAU 3,S
        BSR gumul
        TST ,S
        BPL .r
        LDD #0
        SUBD GQ+2
        STD GQ+2
        LDD #0
        SBCB GQ+1
        SBCA GQ
        STD GQ
.r      LEAS 5,S
        RTS

* gumul: GQ = the word at X times the word at U (unsigned, 32 bits).
gumul   LDA 1,X
        LDB 1,U
        MUL
        STD GQ+2
        LDA ,X
        LDB ,U
        MUL
        STD GQ
        LDA ,X
        LDB 1,U
        BSR .add
        LDA 1,X
        LDB ,U
.add    MUL
        ADDD GQ+1
        STD GQ+1
        BCC .r
        INC GQ
.r      RTS

* C_ARC: the next arc's ends.
garc    LDX #GARG
        LDU #GSV
        LDB #8
.l      LDA ,X+
        STA ,U+
        DECB
        BNE .l
        RTS

* ---------------------------------------------------------------- text
glocate LDA GARG
        CMPA NCOL
        BHS .y
        STA CURX
.y      LDA GARG+1
        CMPA LROW
        BHI .r
        STA CURY
.r      RTS

gcolor  LDA GARG
        CMPA #7
        BHI .b
        STA FG
.b      LDA GARG+1
        CMPA #7
        BHI .s
        STA BG
.s      JMP setcol

gcsrlin LDA CURY
        LDB CURX
        STD GARG
        LDA #2
        STA SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        RTS

* ---------------------------------------------------------------- fill
* C_PAINT: a scan-line flood fill. A dot is fillable when its colour is
* neither the paint colour nor the border colour. A seed is taken from the
* stack, widened to the whole run of fillable dots on its row, the run is
* drawn, and the rows above and below are searched over the run's width for
* new runs, one seed each. Whole bytes are tested at once (fmask).
* A seed is x (its high byte also holding GDIR in bits 6-7), y and the
* whole bytes of the run it was found from (GC1, GC2): that run is painted
* already, so the seed's run searches that row only beside those bytes.
* The seed stack holds 204 seeds. When it is full, a seed is dropped and its
* row marked (DIRTY); once the stack is empty, the marked rows are searched
* again for fillable dots next to painted ones on the row the seed came
* from, and filling goes on from there: slower, and the stack never
* overflows. (A dot of the paint colour that was there before the fill and
* touches other fillable dots on such a row can start a fill there.)
gpaint  LDA GARG+5
        JSR gcolm
        LDD <CM0
        STD <BC0
        LDA <CM2
        STA <BC2
        LDA GARG+4
        JSR gcolm
        LDD GARG+4
        STD <GPC            ; and GBC
        CLR <GSAME
        CMPA GARG+5
        BNE .d
        INC <GSAME
.d      LDX #DIRTY
.clr    CLR ,X+
        CMPX #DIRTY+200
        BLO .clr
        LDX #SEEDS
        STX <GSP
        CLR <GLOST
        LDD GARG
        STD <GX
        LDD GARG+2
        STD <GY
        CLR <GDIR
        CLR <GC1
        CLR <GC2
        JSR isfill
        LBCC .done
        JSR pushs
.next   LDU <GSP
        CMPU #SEEDS
        BEQ .empty
        LEAU -5,U
        STU <GSP
        LDD ,U
        ANDA #3
        STD <GX
        LDA ,U
        LSRA
        LSRA
        LSRA
        LSRA
        LSRA
        LSRA
        STA <PDIR
        LDD 3,U
        STD <PE1            ; and PE2
        LDB 2,U
        CLRA
        STD <GY
        JSR isfill
        BCC .next
        JSR extl
        LDD <GX
        STD <GX1
        ADDD #7
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        STB <GC1
        JSR extr
        LDD <GX
        STD <GX2
        ADDD #1
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        STB <GC2
        JSR hline
        LDD <GY
        PSHS D
        SUBD #1
        BMI .dn
        STD <GY
        LDA #1
        BSR .scan
.dn     LDD ,S
        ADDD #1
        CMPD #200
        BHS .nx
        STD <GY
        LDA #2
        BSR .scan
.nx     LEAS 2,S
        BRA .next
* .scan: the row GY for seeds with GDIR = A; on the parent's row not over
* the parent's run.
.scan   STA <GDIR
        EORA #3
        CMPA <PDIR
        LBNE scanr
        JMP scanx
.empty  TST <GLOST
        BEQ .done
        CLR <GLOST
        JSR rescan
        LBRA .next
.done   RTS

* pushs: GX,GY onto the seed stack; when it is full the seed is lost and its
* row marked with GDIR.
pushs   LDU <GSP
        CMPU #SEEDEND
        BHI .full
        LDD <GX
        STD ,U
        LDA <GDIR
        LSRA
        RORA
        RORA
        ORA ,U
        STA ,U
        LDA <GY+1
        STA 2,U
        LDD <GC1
        STD 3,U
        LEAU 5,U
        STU <GSP
        RTS
.full   LDX #DIRTY
        LDB <GY+1
        ABX
        LDA ,X
        ORA <GDIR
        STA ,X
        STA <GLOST          ; not 0
        RTS

* isfill: C = 1 when the dot GX,GY is on the screen and fillable.
isfill  JSR getpx
        CMPA #$FF
        BEQ .no
        CMPA <GPC
        BEQ .no
        CMPA <GBC
        BEQ .no
        ORCC #1
        RTS
.no     ANDCC #$FE
        RTS

* fmask: A = GFM = the fillable dots of the byte at X. B, X kept.
fmask   LDA ,X
        EORA <CM0
        STA <GFM
        LDA PLANE1,X
        EORA <CM1
        ORA <GFM
        STA <GFM
        LDA PLANE2,X
        EORA <CM2
        ORA <GFM            ; dots not of the paint colour
        TST <GSAME
        BNE .s
        STA <GFM
        LDA ,X
        EORA <BC0
        STA <GT0
        LDA PLANE1,X
        EORA <BC1
        ORA <GT0
        STA <GT0
        LDA PLANE2,X
        EORA <BC2
        ORA <GT0            ; dots not of the border colour
        ANDA <GFM
.s      STA <GFM
        RTS

* extl: GX (fillable) moves left over the fillable dots before it.
extl    JSR pixad
        STA <GBIT
        JSR fmask
.l      LDD <GX
        BEQ .r
        LSL <GBIT
        BNE .s
        LEAX -1,X
        INC <GBIT
        JSR fmask
.s      LDA <GFM
        ANDA <GBIT
        BEQ .r
        LDD <GX
        SUBD #1
        STD <GX
        BRA .l
.r      RTS

* extr: GX (fillable) moves right over the fillable dots after it; whole
* fillable bytes are passed at once.
extr    JSR pixad
        STA <GBIT
        JSR fmask
.l      LSR <GBIT           ; the next dot of the byte
        BCS .nb
        LDA <GFM
        ANDA <GBIT
        BEQ .r
        LDD <GX
        ADDD #1
        STD <GX
        BRA .l
.nb     LDD <GX             ; GX is the byte's last dot
.w      CMPD #639
        BHS .r
        LEAX 1,X
        JSR fmask
        INCA
        BNE .part
        LDD <GX
        ADDD #8
        STD <GX
        BRA .w
.part   LDA #$80
        STA <GBIT
        ANDA <GFM
        BEQ .r
        LDD <GX
        ADDD #1
        STD <GX
        BRA .l
.r      RTS

* scanx: scanr without the parent's whole bytes PE1 .. PE2 - 1 (painted).
scanx   LDD <PE1
        CMPB <PE1
        LBLS scanr          ; none
        LDD <GX2
        PSHS D
        LDB <PE1            ; left of them: to 8 x PE1 - 1
        CLRA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        SUBD #1
        CMPD <GX2
        BGE .l
        STD <GX2
.l      LDD <GX2
        CMPD <GX1
        BLT .rt
        BSR scanr
.rt     LDD ,S
        STD <GX2
        LDD <GX1
        PSHS D
        LDB <PE2            ; right of them: from 8 x PE2
        CLRA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        CMPD <GX1
        BLE .r
        STD <GX1
.r      LDD <GX1
        CMPD <GX2
        BGT .x
        BSR scanr
.x      PULS D
        STD <GX1
        PULS D,PC

* scanr: one seed for each run of fillable dots on row GY between GX1 and
* GX2; whole bytes are looked at once.
scanr   LDD <GX1
        STD <GX
        JSR pixad
        STA <GBIT
        CLR <GIN
        JSR fmask
        LDA <GBIT
        BMI .whole
.b      LDA <GFM            ; dot by dot
        ANDA <GBIT
        BEQ .out
        TST <GIN
        BNE .in
        BSR .push
        INC <GIN
        BRA .in
.out    CLR <GIN
.in     LDD <GX
        CMPD <GX2
        BGE .r
        ADDD #1
        STD <GX
        LSR <GBIT
        BCC .b
        ROR <GBIT           ; $80 of the next byte
        LEAX 1,X
        JSR fmask
.whole  LDD <GX2            ; at a byte's first dot: the whole bytes
        SUBD <GX
        ADDD #1
        LSRA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        TSTB
        BEQ .b
        PSHS B
.wl     LDA <GFM
        BEQ .z
        INCA
        BNE .part
        TST <GIN            ; eight fillable dots
        BNE .nx
        BSR .push
        INC <GIN
        BRA .nx
.z      CLR <GIN
.nx     LDD <GX
        ADDD #8
        STD <GX
        DEC ,S
        BEQ .we
        LEAX 1,X
        JSR fmask
        BRA .wl
.we     PULS B
        LDD <GX
        CMPD <GX2
        BGT .r
        LEAX 1,X
        JSR fmask
        BRA .b
.part   LEAS 1,S            ; some of them: dot by dot
        BRA .b
.r      RTS
.push   PSHS X
        JSR pushs
        PULS X,PC

* rescan: the rows marked in DIRTY are searched for fillable dots whose
* neighbour on the marked side has the paint colour; each becomes a seed.
rescan  CLR <GY
        CLR <GY+1
        CLR <GC1            ; no parent span
        CLR <GC2
.row    LDX #DIRTY
        LDB <GY+1
        ABX
        LDA ,X
        BEQ .nrow
        CLR ,X
        STA <GDIR
        CLR <GX
        CLR <GX+1
.dot    JSR isfill
        BCC .ndot
        LDB <GDIR
        LSRB                ; 1: the seed came from the row below
        LDD <GY
        BCC .up
        ADDD #1
        BSR .nb
        BEQ .seed
        LDB <GDIR
        BITB #2
        BEQ .ndot
.up     LDD <GY
        SUBD #1
        BSR .nb
        BNE .ndot
.seed   JSR pushs
.ndot   LDD <GX
        ADDD #1
        STD <GX
        CMPD #640
        BLO .dot
.nrow   LDD <GY
        ADDD #1
        STD <GY
        CMPD #200
        BLO .row
        RTS
* .nb: Z = 1 when the dot GX on row D has the paint colour; GY kept.
.nb     LDX <GY
        PSHS X
        STD <GY
        JSR getpx
        PULS X
        STX <GY
        CMPA <GPC
        RTS

* ---------------------------------------------------------------- pictures
* A picture (GET, PUT): width and height in dots (2 bytes each), then row by
* row the bytes of plane 0, 1 and 2, each (width + 7) / 8 bytes of 8 dots
* from the left; the unused dots of a row's last byte are 0. The main CPU
* learns the size first, then the bytes follow in parts of up to 88.

* C_GET: the rectangle, corners either way round, cut to the screen (0 x 0
* when nothing of it is on the screen).
gget    LDD GARG
        LDX GARG+4
        LDU #639
        BSR gspan
        STD <PX
        STX <PHB
        LDD GARG+2
        LDX GARG+6
        LDU #199
        BSR gspan
        STD <PY
        STX <PHB+2
        BEQ .z
        LDD <PHB
        BNE .ok
.z      CLRA
        CLRB
        STD <PHB
        STD <PHB+2
.ok     CLR <PHDR
* gsize: the picture's state for its first byte; the reply is its size.
gsize   LDD <PHB+2
        STD <PH
        CLRA
        CLRB
        STD <PJ
        STA <PPH
        LDD <PHB            ; (w + 7) / 8, carry kept
        ADDD #7
        RORA
        RORB
        LSRA
        RORB
        LSRA
        RORB
        STD <PN
        LSLB                ; times 3
        ROLA
        ADDD <PN
        LDX <PHB+2
        BSR gmul
        ADDD #4
        BCC greply
gbig    LDD #$FFFF
greply  STD GARG
        LDA #2
        STA SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        RTS

* gspan: D and X the ends of a span, U the last place on the screen -> D its
* first place on the screen, X the number of places (0: none).
gspan   PSHS D,X,U
        CMPD 2,S
        BLE .o
        LDX 2,S
        STD 2,S
        STX ,S
.o      LDD ,S
        BPL .a
        CLRA
        CLRB
        STD ,S
.a      LDD 2,S
        CMPD 4,S
        BLE .b
        LDD 4,S
.b      LDX #0
        SUBD ,S
        BMI .r
        ADDD #1
        TFR D,X
.r      PULS D
        LEAS 4,S
        RTS

* gmul: D = D x X, FFFF when that needs more than 16 bits.
gmul    PSHS D,X
        LDA ,S
        BEQ .1
        LDA 2,S
        BNE .ovf
.1      LDA 1,S
        LDB 3,S
        MUL
        PSHS D
        LDA 2,S
        LDB 5,S
        BSR .hi
        LDA 3,S
        LDB 4,S
        BSR .hi
        PULS D
        LEAS 4,S
        RTS
.hi     MUL                 ; a high x low part: into the high byte
        TSTA
        BNE .o2
        ADDB 2,S
        BCS .o2
        STB 2,S
        RTS
.o2     LEAS 4,S
.ovf    LEAS 4,S
        LDD #$FFFF
        RTS

* C_GMORE: up to SH_DMAX bytes of the picture.
ggmore  LDU #GARG
.l      CMPU #GARG+SH_DMAX
        BHS .e
        BSR gnext
        BCS .e
        STA ,U+
        BRA .l
.e      TFR U,D
        SUBD #GARG
        STB SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        RTS

* gnext: the picture's next byte -> A, C = 1 after its end. U kept.
gnext   LDB <PHDR
        CMPB #4
        BHS .d
        INC <PHDR
        LDX #PHB
        LDA B,X
        ANDCC #$FE
        RTS
.d      LDD <PH
        BEQ .end
        BSR pdot            ; X = the byte with the first dot, B = its place
        PSHS B
        LDD ,X
.sh     DEC ,S
        BMI .m
        LSLB
        ROLA
        BRA .sh
.m      LEAS 1,S
        BSR plast
        PSHS B
        ANDA ,S+
        BSR padv
        ANDCC #$FE
        RTS
.end    ORCC #$01
        RTS

* pdot: X = the video RAM byte of the picture's next byte's first dot in the
* current plane, B = the dot's place in it (0-7), D0 = the dot's x.
* For PUT the row and the dot may be off the screen (X is then not used).
pdot    LDD <PJ
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD <PX
        STD <GX
        ASRA
        RORB
        ASRA
        RORB
        ASRA
        RORB
        PSHS D
        LDA <PY+1
        LDB #80
        MUL
        ADDD ,S++
        ADDA <PPH
        TFR D,X
        LDB <GX+1
        ANDB #7
        RTS

* plast: B = the mask of the dots of the next byte that belong to the
* picture (the last byte of a row may have fewer). A kept, X lost.
plast   PSHS A
        LDD <PJ
        ADDD #1
        CMPD <PN
        BNE .ff
        LDB <PHB+1
        DECB
        ANDB #7
        LDX #rmask
        LDB B,X
        PULS A,PC
.ff     LDB #$FF
        PULS A,PC

* padv: on to the next byte: the next plane after a row's bytes, the next
* row after plane 2. D and U are lost.
padv    PSHS A
        LDD <PJ
        ADDD #1
        STD <PJ
        CMPD <PN
        BNE .r
        CLRA
        CLRB
        STD <PJ
        LDA <PPH
        ADDA #$40
        STA <PPH
        CMPA #$C0
        BNE .r
        CLR <PPH
        LDD <PY
        ADDD #1
        STD <PY
        LDD <PH
        SUBD #1
        STD <PH
.r      PULS A,PC

* C_PUT: x, y, mode, then the picture's width and height.
gput    LDD GARG
        STD <PX
        LDD GARG+2
        STD <PY
        LDA GARG+4
        STA <PMODE
        LDD GARG+5
        STD <PHB
        LDD GARG+7
        STD <PHB+2
        ORA <PHB
        LBPL gsize          ; 32768 dots or more: too big
        LBRA gbig

* C_PMORE: LEN bytes of the picture, each drawn where it belongs.
gpmore  LDY #GARG
        LDB SH_SUB+SH_LEN
        BEQ .r
.l      PSHS B
        LDA ,Y+
        BSR pnext
        PULS B
        DECB
        BNE .l
.r      RTS

* pnext: the byte A of the picture onto the screen. Y kept.
pnext   LDX <PH
        BEQ .r              ; more than the picture holds: left out
        LDB <PMODE
        DECB
        BNE .m
        COMA                ; PRESET: the dots inverted
.m      JSR plast
        PSHS B
        ANDA ,S
        PSHS A
        LDD <PY
        CMPD #200
        BHS .skip           ; the row is off the screen
        JSR pdot            ; X, B = the place, GX the dot
        PULS A
        CLR <PV+1
        CLR <PM+1
        STA <PV
        PULS A
        STA <PM
.sh     DECB
        BMI .dr
        LSR <PV
        ROR <PV+1
        LSR <PM
        ROR <PM+1
        BRA .sh
.dr     LDD <GX             ; the byte's dots in column GX/8 and the next
        ASRA
        RORB
        ASRA
        RORB
        ASRA
        RORB
        PSHS D
        LDA <PV
        LDB <PM
        BSR .put
        LEAX 1,X
        LDD ,S
        ADDD #1
        STD ,S
        LDA <PV+1
        LDB <PM+1
        BSR .put
        LEAS 2,S
        JMP padv
.skip   LEAS 2,S
        JMP padv
.r      RTS
* .put: dots A, mask B into byte X when its column (2,S) is on the screen.
.put    TSTB
        BEQ .n
        PSHS D
        LDD 4,S
        CMPD #80
        PULS D
        BHS .n
        PSHS B
        LDB <PMODE
        CMPB #2
        BLO .set
        BEQ .and
        CMPB #3
        BEQ .or
        EORA ,X             ; XOR
        BRA .st
.or     ORA ,X
        BRA .st
.and    COM ,S              ; AND: the dots outside the mask stay
        ORA ,S
        ANDA ,X
        BRA .st
.set    COM ,S              ; PSET, PRESET: the mask's dots replaced
        LDB ,S
        ANDB ,X
        STB ,S
        ORA ,S
.st     STA ,X
        LEAS 1,S
.n      RTS
