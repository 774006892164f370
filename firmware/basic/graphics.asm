* graphics.asm: the screen and graphics statements and functions.
*
* The sub CPU draws (subgfx.asm): every statement parses its arguments,
* sends what is buffered for the screen, then hands one command with the
* coordinates worked out to the sub CPU through the command slot (SV_SUBCMD)
* and goes on without waiting, so the BASIC parses the next statement while
* the sub CPU draws. Only POINT and CSRLIN wait for an answer.
*
* Statements: LOCATE COLOR PSET PRESET LINE (not LINE INPUT) CIRCLE BEEP
* PAINT GET PUT (not GET #n / PUT #n) PALETTE KEY WIDTH.
* Functions: POINT CSRLIN SCREEN.
* Coordinates are integers; the sub CPU leaves out what falls off the
* screen. STEP (x,y) is relative to the last point drawn.
*
* Work bytes (direct page):
LASTX   EQU $70F0           ; the last point drawn (2)
LASTY   EQU $70F2           ; (2)
FGX     EQU $70F4           ; text colour EOR 7, so a cleared byte is white
BGC     EQU $70F5           ; background colour
GBUF    EQU $70F6           ; the command being built (10)

* gsend: flush the text, then command A with B bytes from GBUF, no answer.
gsend   JSR flushc
        LDX #GBUF
        LDU #0
        JMP SV_SUBCMD

* gask: command A with B bytes from GBUF; the answer's data at RBUF+2.
gask    JSR flushc
        LDX #GBUF
        LDU #RBUF
        JMP SV_SUBCMD

* gpoint: [STEP] (x,y) -> GBUF+X, LASTX/LASTY set. X kept.
gpoint  PSHS X
        CLR ,-S             ; 1: relative
        JSR peek
        CMPA #T_STEP
        BNE .abs
        INC ,S
        JSR nextc
.abs    JSR needlp
        JSR getint
        TST ,S
        BEQ .x
        ADDD <LASTX
.x      PSHS D
        JSR needcm
        JSR getint
        TST 2,S
        BEQ .y
        ADDD <LASTY
.y      STD <LASTY
        PULS D
        STD <LASTX
        JSR needrp
        LEAS 1,S
        PULS X
        LDD <LASTX
        STD GBUF,X
        LDD <LASTY
        STD GBUF+2,X
        RTS

* gcolor: [,colour] -> B; the default is A. Y at the comma or the end.
gcolarg PSHS A
        JSR peek
        CMPA #','
        BNE .d
        JSR nextc
        CMPA #','
        BEQ .d
        JSR peek
        JSR isend
        BEQ .d
        LEAS 1,S
        BRA getc7
.d      PULS B,PC

* getc7: a colour 0-7 -> B.
getc7   JSR getbyte
        CMPB #7
        LBHI fcerr
        RTS

* PSET [STEP](x,y)[,c]  PRESET [STEP](x,y)[,c]
xpset   LDA <FGX
        EORA #7
        BRA xpset1
xpreset LDA <BGC
xpset1  PSHS A
        LDX #0
        JSR gpoint
        PULS A
        JSR gcolarg
        STB GBUF+4
        LDA #C_PSET
        LDB #5
        JMP gsend

* LINE [[STEP](x1,y1)]-[STEP](x2,y2)[,[c][,B|BF]]; LINE INPUT goes on in
* input.asm.
xgline  JSR peek
        CMPA #'-'
        BEQ .from
        LDX #0
        JSR gpoint
        BRA .to
.from   LDD <LASTX
        STD GBUF
        LDD <LASTY
        STD GBUF+2
.to     LDB #'-'
        JSR need
        LDX #4
        JSR gpoint
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+8
        CLR GBUF+9
        JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #'B'
        LBNE snerr
        INC GBUF+9
        JSR nextc
        CMPA #'F'
        BNE .send
        INC GBUF+9
        JSR nextc
.send   LDA #C_LINE
        LDB #10
        JMP gsend

* cangle: [,number] -> the single at X (X = 0: left in FAC); C = 1 when
* one was given. A start or an end angle makes the drawing an arc.
cangle  JSR peek
        CMPA #','
        BNE .no
        JSR nextc
        CMPA #','
        BEQ .no
        JSR isend
        BEQ .no
        PSHS X
        JSR getnum
        JSR tofloat
        PULS X
        LEAX ,X
        BEQ .yes
        JSR fp_sts
        LBCS error
        LDA #1
        STA GBUF+9
.yes    ORCC #1
        RTS
.no     ANDCC #$FE
        RTS

* cvec: the end of the angle at X (a single) from the centre, y up: rx cos,
* ry sin, rounded, to U.
cvec    PSHS U
        JSR fp_lds
        JSR fp_abs
        LDX #NUMBUF+24
        JSR fp_sts
        JSR fp_cos
        LDD GBUF+4
        BSR cmulr
        STD [,S]
        LDX #NUMBUF+24
        JSR fp_lds
        JSR fp_sin
        LDD GBUF+7
        BSR cmulr
        PULS U
        STD 2,U
        RTS

* cmulr: D = FAC x D, rounded.
cmulr   PSHS D
        JSR fp_fac2arg
        PULS D
        JSR fp_fromint
        JSR fp_mul
        JSR fp_toint
        LBCS error
        RTS

* CIRCLE [STEP](x,y),r[,[c][,[start][,[end][,aspect]]]]: a circle; with
* an aspect (height / width) an ellipse whose longer radius is r; with a
* start or an end angle (radians counter-clockwise from the right; 0 and
* 2 pi when left out) the arc between them, and for a negative angle also
* the radius to that end. The ends go to the sub CPU as dots from the
* centre (C_ARC), then the curve (C_CIRCLE), then the radii (C_LINE).
* Work: NUMBUF+0 the ends, +16 the angles (singles), +24 a single, +32 a
* radius's command.
xcircle LDX #0
        JSR gpoint
        JSR needcm
        JSR getint
        STD GBUF+4          ; rx
        STD GBUF+7          ; ry
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+6
        CLR GBUF+9
        LDD #0
        STD NUMBUF+16
        STD NUMBUF+18
        LDD #$8349          ; 2 pi
        STD NUMBUF+20
        LDD #$0FDB
        STD NUMBUF+22
        LDX #NUMBUF+16
        JSR cangle
        LDX #NUMBUF+20
        JSR cangle
        LDX #0
        JSR cangle          ; the aspect
        BCC .arc
        LDA <FACSGN
        LBNE fcerr
        LDA <FACEXP
        LBEQ fcerr
        LDX #NUMBUF+24
        JSR fp_sts
        LBCS error
        LDA #4
        STA <FPREC
        LDA NUMBUF+24
        CMPA #$80
        BHI .wide
        LDX #NUMBUF+24      ; below 1: ry = r x aspect
        JSR fp_args
        LDD GBUF+7
        JSR fp_fromint
        JSR fp_mul
        JSR fp_toint
        LBCS error
        STD GBUF+7
        BRA .arc
.wide   LDD GBUF+4          ; else rx = r / aspect
        JSR fp_fromint
        JSR fp_fac2arg
        LDX #NUMBUF+24
        JSR fp_lds
        JSR fp_div
        LBCS error
        JSR fp_toint
        LBCS error
        STD GBUF+4
.arc    LDA #4
        STA <FPREC
        LDA GBUF+9
        BEQ .send
        LDX #NUMBUF+16
        LDU #NUMBUF
        JSR cvec
        LDX #NUMBUF+20
        LDU #NUMBUF+4
        JSR cvec
        JSR flushc
        LDX #NUMBUF
        LDA #C_ARC
        LDB #8
        LDU #0
        JSR SV_SUBCMD
.send   LDA #C_CIRCLE
        LDB #10
        JSR gsend
        LDX #NUMBUF
        BSR crad
        LDX #NUMBUF+4
* crad: the radius to the end at X when its angle (X+16) was negative.
crad    TST 17,X
        BPL .r
        LDD GBUF
        STD NUMBUF+32
        ADDD ,X
        STD NUMBUF+36
        LDD GBUF+2
        STD NUMBUF+34
        SUBD 2,X
        STD NUMBUF+38
        LDA GBUF+6
        CLRB
        STD NUMBUF+40
        LDX #NUMBUF+32
        LDA #C_LINE
        LDB #10
        LDU #0
        JMP SV_SUBCMD
.r      RTS

* LOCATE column,row[,cursor]: an omitted value keeps the cursor's.
xlocate LDD #$FFFF
        STD GBUF
        JSR peek
        CMPA #','
        BEQ .y
        JSR getbyte
        STB GBUF
        CMPB <SCRW
        LBHS fcerr
        STB <POSN
.y      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #','
        BEQ .c
        JSR getbyte
        CMPB #24
        LBHI fcerr
        STB GBUF+1
.c      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        JSR getbyte         ; the cursor shows only while input waits
.send   LDA #C_LOCATE
        LDB #2
        JMP gsend

* COLOR [fg][,bg]
xcolor  LDD #$FFFF
        STD GBUF
        JSR peek
        CMPA #','
        BEQ .b
        JSR getc7
        STB GBUF
        EORB #7
        STB <FGX
.b      JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        JSR getc7
        STB GBUF+1
        STB <BGC
.send   LDA #C_COLOR
        LDB #2
        JMP gsend

* PAINT [STEP](x,y)[,c[,border]]: the border is the paint colour when left
* out.
xpaint  LDX #0
        JSR gpoint
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+4
        TFR B,A
        JSR gcolarg
        STB GBUF+5
        LDA #C_PAINT
        LDB #6
        JMP gsend

* BEEP
xbeep   LDA #CH_BEL
        JSR outch
        JMP flushc

* POINT(x,y): the colour of the dot, -1 off the screen.
* SCREEN(column,row): the character there, -1 off the text screen.
fnscrn  LDA #C_SCREEN
        BRA fnxy
fnpoint LDA #C_POINT
fnxy    PSHS A
        JSR needlp
        JSR getint
        STD GBUF
        JSR needcm
        JSR getint
        STD GBUF+2
        JSR needrp
        PULS A
        LDB #4
        JSR gask
        LDD RBUF+2
        JMP setint

* WIDTH 80 / WIDTH 40 (characters twice as wide); the screen is cleared.
xwidth  JSR getbyte
        CMPB #80
        BEQ .ok
        CMPB #40
        LBNE fcerr
.ok     STB <SCRW
        STB GBUF
        CLR <POSN
        LDA #C_WIDTH
        LDB #1
        JMP gsend

* PALETTE n,c: colour code n shows as the machine's colour c (the palette
* registers); PALETTE alone gives every code its own colour again.
xpalet  JSR peek
        JSR isend
        BNE .set
        LDX #M_PALETTE+8
        LDB #7
.l      STB ,-X
        DECB
        BPL .l
        RTS
.set    JSR getc7
        PSHS B
        JSR needcm
        JSR getc7
        PULS A
        LDX #M_PALETTE
        STB A,X
        RTS

* KEY n,"text" (F1-F10, up to 15 characters; CHR$(13) types RETURN), KEY ON
* and KEY OFF (the keys' texts shown on the bottom row or not).
xkey    JSR peek
        LDB #$FF
        CMPA #T_ON
        BEQ .sw
        CLRB
        CMPA #'O'
        BNE .set
        JSR nextc
        LDB #'F'
        JSR need
        JSR need
        CLRB
        LEAY -1,Y
.sw     LEAY 1,Y
        STB NUMBUF
        LDB #1
        BRA .send
.set    JSR getbyte
        DECB
        CMPB #9
        LBHI fcerr
        INCB
        STB NUMBUF
        JSR needcm
        JSR getstr          ; X = text, B = length
        LDU #NUMBUF+1
        CMPB #15
        BLS .n
        LDB #15
.n      PSHS B
        BEQ .e
.cp     LDA ,X+
        STA ,U+
        DECB
        BNE .cp
.e      PULS B
        INCB
.send   JSR flushc
        LDX #NUMBUF
        LDA #C_KEY
        LDU #0
        JMP SV_SUBCMD

* CSRLIN: the cursor's row.
fncsrln LDA #C_CSRLIN
        CLRB
        JSR gask
        LDB RBUF+2
        CLRA
        JMP setint

* gsize: command A with B bytes from GBUF; the answer is the picture's size,
* which must fit between X and U (Illegal function call otherwise) -> D.
gsize   PSHS X,U
        JSR gask
        LDD 2,S
        SUBD ,S
        CMPD RBUF+2
        LBLO fcerr
        LDD RBUF+2
        PULS X,U,PC

* garray: ,name of a numeric array [(element)] -> X where the picture goes,
* U the array's end. A name alone must be an array already made.
garray  JSR needcm
        JSR varname
        LDA <VARTYP
        CMPA #3
        LBEQ tmerr
        LDA ,Y
        CMPA #'('
        BNE .name
        CLR <SUBFLG
        JSR array
        LDU <ARYTAB
.w      LDD 3,U
        LEAU D,U
        PSHS U
        CMPX ,S++
        BHS .w
        RTS
.name   LDX <ARYTAB
.f      CMPX <STREND
        LBHS fcerr
        LDD ,X
        CMPD <VNAME
        BNE .n
        LDA 2,X
        CMPA <VARTYP
        BEQ .hit
.n      LDD 3,X
        LEAX D,X
        BRA .f
.hit    LDD 3,X
        LEAU D,X
        LDB 5,X
        LSLB
        ADDB #6
        ABX
        RTS

* GET [STEP](x1,y1)-[STEP](x2,y2),array: the dots of the rectangle, cut to
* the screen, into a numeric array (from its first element, or from the
* element named): width and height in dots (2 bytes each), then row by row
* the bytes of plane 0, 1 and 2, (width + 7) / 8 bytes each, 8 dots a byte
* from the left. An array too small for that is Illegal function call.
xget    JSR peek
        CMPA #'#'
        LBEQ fget           ; GET #n: a file statement (datafile.asm)
        LDX #0
        JSR gpoint
        LDB #'-'
        JSR need
        LDX #4
        JSR gpoint
        JSR garray
        LDD #C_GET*256+8
        JSR gsize
.more   PSHS X
        LDA #C_GMORE
        CLRB
        JSR gask
        PULS X
        LDU #RBUF+1
        LDB ,U+
        BEQ .r
.cp     LDA ,U+
        STA ,X+
        DECB
        BNE .cp
        BRA .more
.r      RTS

* PUT [STEP](x,y),array[,PSET|PRESET|AND|OR|XOR]: a picture made by GET with
* its top left corner at x,y, combined with the screen's dots by the mode
* (XOR when none is given); what falls off the screen is left out.
xput    JSR peek
        CMPA #'#'
        LBEQ fput           ; PUT #n: a file statement (datafile.asm)
        LDX #0
        JSR gpoint
        JSR garray
        LDD ,X
        STD GBUF+5
        LDD 2,X
        STD GBUF+7
        LDB #4
        JSR peek
        CMPA #','
        BNE .m
        JSR nextc
        LDU #putmod
.f      CMPA B,U
        BEQ .h
        DECB
        BPL .f
        JMP snerr
.h      LEAY 1,Y
.m      STB GBUF+4
        LDD #C_PUT*256+9
        JSR gsize
        LEAX 4,X
        SUBD #4
.snd    BEQ .r
        PSHS D
        TSTA
        BNE .big
        CMPB #SH_DMAX
        BLS .n
.big    LDB #SH_DMAX
.n      LDA #C_PMORE
        LDU #0
        JSR SV_SUBCMD
        ABX
        CLRA
        PSHS D
        LDD 2,S
        SUBD ,S++
        LEAS 2,S
        BRA .snd
.r      RTS
putmod  FCB T_PSET,T_PRESET,T_AND,T_OR,T_XOR

