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
*   C_CIRCLE x(2) y(2) r(2) c     midpoint circle
*   C_POINT  x(2) y(2)            reply: the dot's colour, FF off screen
*   C_LOCATE column row cursor    cursor to a text cell (FF keeps a value)
*   C_COLOR  fg bg                text colours (FF keeps a value)
*   C_CSRLIN                      reply: cursor row, cursor column
*   C_PAINT  x(2) y(2) c border   scan-line flood fill (see gpaint)
*
* Work bytes D040-D06F (direct page D0); the fill's seed stack CA00-CDFF.
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
SEEDS   EQU $CA00           ; fill: seed stack, 4 bytes a seed
SEEDEND EQU $CE00

gfxcmd  SUBA #C_GFX
        CMPA #C_GLAST-C_GFX
        BHI .bad
        LSLA
        LDX #gfxtab
        JMP [A,X]
.bad    RTS

gfxtab  FDB gpset,gline,gcircle,gpoint,glocate,gcolor,gcsrlin,gpaint

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
        STA GARG
        LDA #1
        STA SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        RTS

* ---------------------------------------------------------------- lines
* C_LINE: Bresenham's line from the first point, stepping along the longer
* axis; the error starts at 2 minor - major and the minor coordinate moves
* when it is above 0.
gline   LDA GARG+8
        JSR gcolm
        LDA GARG+9
        LBNE gbox
        LDD GARG
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
* C_CIRCLE: the midpoint circle: x = r, y = 0, d = 1 - r; eight dots for each
* step while x >= y; y grows every step, x shrinks when d was not below 0.
gcircle LDA GARG+6
        JSR gcolm
        LDD GARG
        STD <GCX
        LDD GARG+2
        STD <GCY
        LDD GARG+4
        BMI .r
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
.four   PSHS X,U
        LDD <GCX
        ADDD ,X
        STD <GX
        LDD <GCY
        ADDD ,U
        STD <GY
        JSR gplot
        LDX ,S
        LDD <GCX
        SUBD ,X
        STD <GX
        JSR gplot
        LDU 2,S
        LDD <GCY
        SUBD ,U
        STD <GY
        JSR gplot
        LDX ,S
        LDD <GCX
        ADDD ,X
        STD <GX
        JSR gplot
        PULS X,U,PC

* ---------------------------------------------------------------- text
glocate LDA GARG
        CMPA #NCOLS
        BHS .y
        STA CURX
.y      LDA GARG+1
        CMPA #NROWS
        BHS .r
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

gpaint  RTS
