* graphics.asm: the screen and graphics statements and functions.
*
* The sub CPU draws (subgfx.asm): every statement parses its arguments,
* sends what is buffered for the screen, then hands one command with the
* coordinates worked out to the sub CPU through the command slot (SV_SUBCMD)
* and goes on without waiting, so the BASIC parses the next statement while
* the sub CPU draws. Only POINT and CSRLIN wait for an answer.
*
* Statements: LOCATE COLOR PSET PRESET LINE (not LINE INPUT) CIRCLE BEEP
* PAINT GET PUT (not GET #n / PUT #n) PALETTE KEY.
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

* CIRCLE [STEP](x,y),r[,c[,start,end[,aspect]]]: start, end and aspect are
* read and not used yet (a whole round circle is drawn).
xcircle LDX #0
        JSR gpoint
        JSR needcm
        JSR getint
        STD GBUF+4
        LDA <FGX
        EORA #7
        JSR gcolarg
        STB GBUF+6
.more   JSR peek
        CMPA #','
        BNE .send
        JSR nextc
        CMPA #','
        BEQ .more
        JSR peek
        JSR isend
        BEQ .send
        JSR getnum
        BRA .more
.send   LDA #C_CIRCLE
        LDB #7
        JMP gsend

* LOCATE column,row[,cursor]: an omitted value keeps the cursor's.
xlocate LDD #$FFFF
        STD GBUF
        JSR peek
        CMPA #','
        BEQ .y
        JSR getbyte
        STB GBUF
        CMPB #79
        LBHI fcerr
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
        LBEQ snerr          ; GET #n: a file statement
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
        LBEQ snerr          ; PUT #n: a file statement
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

